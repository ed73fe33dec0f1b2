#include "app/OrvelleApp.h"

#include <fcntl.h>
#include <unistd.h>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QTimer>

#include "app/AppDelegate.h"
#include "app/CommandLine.h"
#include "app/Commands.h"
#include "app/HistoryCommand.h"
#include "app/SharedSalaryStore.h"
#include "app/StatusCommand.h"
#include "platform/desktop/DisplayProbe.h"
#include "platform/desktop/Screens.h"
#include "platform/desktop/SingleInstance.h"
#include "platform/desktop/UnixSignals.h"
#include "platform/posix/Autostart.h"
#include "platform/posix/JsonFilePreferences.h"
#include "platform/posix/RuntimeFolder.h"
#include "platform/posix/SessionBus.h"
#include "platform/posix/XdgPaths.h"

namespace orvelle {

namespace {

// A Wayland client can neither place its windows nor keep them above others. Where XWayland is
// at hand and the user has not chosen a platform, run as an X11 client instead.
void preferXWaylandForTheCapsule() {
    const bool wayland = qEnvironmentVariable("XDG_SESSION_TYPE") == "wayland" ||
                         qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    if (wayland && qEnvironmentVariableIsSet("DISPLAY") &&
        !qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
}

// Through X shared memory, Qt waits for the X server to have read each painted frame: a round
// trip, and two more wake-ups, for every repaint of the capsule. Its few pixels cost less sent
// over the connection, which needs no wait. A setting of the user's own wins.
void paintWithoutSharedMemoryWaits() {
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) {
        qputenv("QT_XCB_NO_MITSHM", "1");
    }
}

void warnAboutNativeWayland() {
    if (QGuiApplication::platformName().startsWith("wayland")) {
        std::fputs(
            "orvelle: 正以原生 Wayland 客户端运行：悬浮胶囊无法自行停靠在屏幕右侧，"
            "也无法保持在其他窗口之上\n",
            stderr);
    }
}

// The windows' and the tray's icon, at the sizes they show. The window system is handed every size
// the icon has, each decoded and kept for as long as the process runs; launchers and task
// switchers take their larger icons from the installed theme, through the desktop file. The files
// are read as the PNG images they are: asked to guess, the image reader loads every image format
// plugin installed to ask each, and they stay loaded (some 120 KB) for as long as the process runs.
QIcon applicationIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64}) {
        icon.addPixmap(
            QPixmap(QStringLiteral(":/icons/io.github.orvelle.Orvelle-%1.png").arg(size), "PNG"));
    }
    return icon;
}

QStringList argumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments;
}

int refuse(const CommandLine& commandLine) {
    std::cerr << "orvelle: " << commandLine.error.toStdString() << "\n"
              << "用 orvelle --help 查看可用的选项。\n";
    return 2;
}

// The commands that print and leave, or follow the amount for a status bar: no display needed.
int runWithoutDisplay(const CommandLine& commandLine, int argc, char** argv) {
    switch (commandLine.action) {
        case CommandLine::Action::help:
            std::cout << CommandLine::helpText().toStdString();
            return 0;
        case CommandLine::Action::version:
            std::cout << "orvelle " << ORVELLE_VERSION << "\n";
            return 0;
        case CommandLine::Action::error:
        case CommandLine::Action::run:  // not sent here
            return refuse(commandLine);
        case CommandLine::Action::command:
            return Commands::send(commandLine.command);
        case CommandLine::Action::history:
            return HistoryCommand::run(commandLine.historyDays, commandLine.historyFormat,
                                       std::cout, std::cerr);
        case CommandLine::Action::status:
            break;
    }
    // With standard output closed, the first file opened would take its number and receive the
    // report.
    if (::fcntl(STDOUT_FILENO, F_GETFD) < 0) {
        std::cerr << "orvelle: 标准输出已关闭，无处打印\n";
        return 1;
    }
    StatusCommand status(JsonFilePreferences::defaultPath(), commandLine.format, STDOUT_FILENO,
                         std::cerr);
    if (!commandLine.follow) {
        return status.printOnce();
    }
    QCoreApplication application(argc, argv);
    const UnixSignals quitOnSignals;
    return status.follow();
}

}  // namespace

int OrvelleApp::main(int argc, char** argv) {
    // A file-size limit, or a status bar that stops reading, then fails the write with EFBIG or
    // EPIPE, which the writers handle (values kept in memory, --status ends), instead of ending
    // the process with a signal.
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
    const CommandLine commandLine = CommandLine::parse(argumentsOf(argc, argv));
    // --show-settings with no capsule running starts one with its settings window, as a status
    // bar's click expects; with one running it is handed over like any start.
    const bool showSettings = commandLine.action == CommandLine::Action::command &&
                              commandLine.command.verb == InstanceProtocol::Verb::activate;
    if (commandLine.action != CommandLine::Action::run && !showSettings) {
        return runWithoutDisplay(commandLine, argc, argv);
    }
    preferXWaylandForTheCapsule();
    paintWithoutSharedMemoryWaits();
    // Qt aborts when it finds no display, and its message points at a broken installation.
    if (const std::string why =
            DisplayProbe::whyNoDisplay({commandLine.qtPlatform, commandLine.qtDisplay});
        !why.empty()) {
        std::cerr << "orvelle: 找不到可用的显示（" << why
                  << "），无法显示悬浮胶囊；orvelle --status 无需显示即可使用\n";
        return 1;
    }
    const RuntimeFolder::Choice runtime =
        RuntimeFolder::choose(RuntimeFolder::candidatesFromEnvironment());
    if (!runtime.error.empty()) {
        std::cerr << runtime.error << "\n";
        return 1;
    }
    SessionBus::keepFromAutolaunching();
    QApplication application(argc, argv);
    QApplication::setApplicationName("orvelle");
    QApplication::setApplicationVersion(ORVELLE_VERSION);
    QGuiApplication::setDesktopFileName(ORVELLE_APP_ID);
    QApplication::setWindowIcon(applicationIcon());
    // The panel and the settings window come and go; only the quit command ends the application.
    QApplication::setQuitOnLastWindowClosed(false);

    // A first launch shows where the salary goes; once the file exists (an autostart at login),
    // only the capsule comes up.
    std::error_code ignored;
    const bool firstLaunch = !std::filesystem::exists(
        std::filesystem::symlink_status(JsonFilePreferences::defaultPath(), ignored));
    const QtScreens screens;
    const Autostart autostart(xdgConfigHome(), ORVELLE_APP_ID,
                              QCoreApplication::applicationFilePath().toStdString());
    AppDelegate delegate([]() -> SalaryStore& { return sharedSalaryStore(); }, screens, autostart);
    SingleInstance instance(JsonFilePreferences::defaultPath(), runtime.folder);
    const auto handler = [&delegate](const InstanceProtocol::Request& request) {
        return Commands(sharedSalaryStore(), delegate.capsuleCommands()).carryOut(request);
    };
    switch (instance.claim(handler)) {
        case SingleInstance::Role::secondary:
            return 0;
        case SingleInstance::Role::failed:
            std::cerr << instance.error() << "\n";
            return 1;
        case SingleInstance::Role::primary:
            break;
    }
    warnAboutNativeWayland();

    const UnixSignals quitOnSignals;
    QObject::connect(&application, &QCoreApplication::aboutToQuit,
                     [] { sharedSalaryStore().writeHistoryNow(); });
    // Work starts by itself only in the process that shows the capsule, once it is up.
    std::unique_ptr<AutoStart> autoStart;
    QTimer::singleShot(0, &delegate, [&delegate, &autoStart, firstLaunch, showSettings] {
        delegate.applicationDidFinishLaunching();
        autoStart = makeAutoStart();
        if (firstLaunch || showSettings) {
            delegate.openSettingsWindow();
        }
    });
    return QApplication::exec();
}

}  // namespace orvelle
