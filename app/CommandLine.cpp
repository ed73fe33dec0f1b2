#include "app/CommandLine.h"

#include <QCommandLineParser>

namespace orvelle {

namespace {

// QGuiApplication's and QApplication's own options, with and without a value.
const QStringList kQtOptionsWithValue{
    "platform",        "platformpluginpath", "platformtheme", "plugin", "display", "geometry",
    "style",           "stylesheet",         "session",       "name",   "title",   "visual",
    "qwindowgeometry", "qwindowicon",        "qwindowtitle"};
const QStringList kQtFlags{"reverse", "widgetcount", "nograb", "dograb", "sync"};

QStringList withoutQtOptions(const QStringList& arguments) {
    QStringList kept;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const QString name = argument.mid(argument.startsWith("--") ? 2 : 1).section('=', 0, 0);
        if (i > 0 && argument.startsWith('-') && kQtFlags.contains(name)) {
            continue;
        }
        if (i > 0 && argument.startsWith('-') && kQtOptionsWithValue.contains(name)) {
            i += argument.contains('=') ? 0 : 1;
            continue;
        }
        kept << argument;
    }
    return kept;
}

}  // namespace

CommandLine CommandLine::parse(const QStringList& allArguments) {
    const QStringList arguments = withoutQtOptions(allArguments);
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{"h", "help"});
    const QCommandLineOption version(QStringList{"v", "version"});
    const QCommandLineOption status("status");
    const QCommandLineOption format("format", QString(), "format");
    const QCommandLineOption follow("follow");
    parser.addOptions({help, version, status, format, follow});

    CommandLine result;
    const auto refuse = [&result](const QString& why) {
        result.action = Action::error;
        result.error = why;
        return result;
    };
    if (!parser.parse(arguments)) {
        return refuse(parser.unknownOptionNames().isEmpty()
                          ? QStringLiteral("选项缺少参数")
                          : QStringLiteral("未知选项：") + parser.unknownOptionNames().join(' '));
    }
    if (!parser.positionalArguments().isEmpty()) {
        return refuse(QStringLiteral("多余的参数：") + parser.positionalArguments().join(' '));
    }
    if (parser.isSet(help)) {
        result.action = Action::help;
        return result;
    }
    if (parser.isSet(version)) {
        result.action = Action::version;
        return result;
    }
    if (!parser.isSet(status)) {
        if (parser.isSet(format) || parser.isSet(follow)) {
            return refuse(QStringLiteral("--format 和 --follow 只能与 --status 一起使用"));
        }
        return result;
    }
    result.action = Action::status;
    result.follow = parser.isSet(follow);
    const QString name = parser.value(format);
    if (name == "waybar") {
        result.format = StatusFormat::waybar;
    } else if (name == "i3blocks") {
        result.format = StatusFormat::i3blocks;
    } else if (!name.isEmpty() && name != "plain") {
        return refuse(QStringLiteral("未知格式：") + name +
                      QStringLiteral("（可用 plain、waybar、i3blocks）"));
    }
    return result;
}

QString CommandLine::helpText() {
    return QStringLiteral(
        "用法：orvelle [选项]\n"
        "实时显示本次上班已经赚到多少钱。不带选项时启动悬浮胶囊；若已在运行，则打开它的设置窗口。\n"
        "\n"
        "选项：\n"
        "  --status             打印本次上班已赚金额（如 ¥1,234.56）后退出；\n"
        "                       不需要显示器，也不修改设置文件\n"
        "  --format <格式>      --status 的输出格式：plain（默认）、waybar 或 i3blocks\n"
        "  --follow             与 --status 同用：持续运行，金额变化时输出新的一行\n"
        "                       （每秒至多两次），供状态栏读取\n"
        "  -h, --help           显示本帮助\n"
        "  -v, --version        显示版本号\n");
}

}  // namespace orvelle
