#include "app/OrvelleApp.h"

#include <cstdio>

#include <QApplication>
#include <QTimer>

#include "app/AppDelegate.h"
#include "platform/Screens.h"
#include "platform/SingleInstance.h"
#include "platform/UnixSignals.h"

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

void warnAboutNativeWayland() {
    if (QGuiApplication::platformName().startsWith("wayland")) {
        std::fputs(
            "orvelle: running as a native Wayland client: the capsule cannot place itself "
            "at the right edge or stay above other windows\n",
            stderr);
    }
}

}  // namespace

int OrvelleApp::main(int argc, char** argv) {
    preferXWaylandForTheCapsule();
    QApplication application(argc, argv);
    QApplication::setApplicationName("orvelle");
    QApplication::setApplicationVersion(ORVELLE_VERSION);
    QGuiApplication::setDesktopFileName(ORVELLE_APP_ID);
    // The panel and the settings window come and go; only the quit command ends the application.
    QApplication::setQuitOnLastWindowClosed(false);

    SingleInstance instance(SingleInstance::defaultRuntimeFolder(),
                            SingleInstance::defaultSessionKey());
    switch (instance.claim()) {
        case SingleInstance::Role::secondary:
            return 0;
        case SingleInstance::Role::failed:
            std::fputs("orvelle: another instance holds the lock but does not answer\n", stderr);
            return 1;
        case SingleInstance::Role::primary:
            break;
    }
    warnAboutNativeWayland();

    const UnixSignals quitOnSignals;
    const QtScreens screens;
    AppDelegate delegate([]() -> SalaryStore& { return SalaryStore::shared(); }, screens);
    instance.listen([&delegate] { delegate.openSettingsWindow(); });
    QTimer::singleShot(0, &delegate, [&delegate] { delegate.applicationDidFinishLaunching(); });
    return QApplication::exec();
}

}  // namespace orvelle
