#include "app/CommandLine.h"

#include <algorithm>

#include <QCommandLineParser>

namespace orvelle {

namespace {

// QGuiApplication's and QApplication's own options, with and without a value.
const QStringList kQtOptionsWithValue{
    "platform",        "platformpluginpath", "platformtheme", "plugin", "display", "geometry",
    "style",           "stylesheet",         "session",       "name",   "title",   "visual",
    "qwindowgeometry", "qwindowicon",        "qwindowtitle"};
const QStringList kQtFlags{"reverse", "widgetcount", "nograb", "dograb", "sync"};

// Returns `arguments` without Qt's own options; notes the platform and display they choose.
QStringList withoutQtOptions(const QStringList& arguments, CommandLine& commandLine) {
    QStringList kept;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const QString name = argument.mid(argument.startsWith("--") ? 2 : 1).section('=', 0, 0);
        if (i > 0 && argument.startsWith('-') && kQtFlags.contains(name)) {
            continue;
        }
        if (i > 0 && argument.startsWith('-') && kQtOptionsWithValue.contains(name)) {
            if (!argument.contains('=') && ++i < arguments.size()) {
                if (name == "platform") {
                    commandLine.qtPlatform = arguments[i].toStdString();
                } else if (name == "display") {
                    commandLine.qtDisplay = arguments[i].toStdString();
                }
            }
            continue;
        }
        kept << argument;
    }
    return kept;
}

// Returns the unknown option `names` as the user typed them ("--bogus", "-x"), without a value.
QStringList asTyped(const QStringList& names, const QStringList& arguments) {
    QStringList typed;
    for (const QString& name : names) {
        const auto found =
            std::find_if(arguments.begin() + 1, arguments.end(), [&](const QString& a) {
                return a.startsWith('-') &&
                       a.mid(a.startsWith("--") ? 2 : 1).section('=', 0, 0) == name;
            });
        typed << (found != arguments.end() ? found->section('=', 0, 0) : "--" + name);
    }
    return typed;
}

// The options that ask something of the running instance, and what each asks.
struct CommandOption {
    const char* name;
    InstanceProtocol::Verb verb;
};
constexpr CommandOption kCommands[] = {
    {"show-settings", InstanceProtocol::Verb::activate},
    {"start-work", InstanceProtocol::Verb::startWork},
    {"stop-work", InstanceProtocol::Verb::stopWork},
    {"toggle-work", InstanceProtocol::Verb::toggleWork},
    {"show", InstanceProtocol::Verb::show},
    {"hide", InstanceProtocol::Verb::hide},
    {"toggle-capsule", InstanceProtocol::Verb::toggleCapsule},
};

}  // namespace

CommandLine CommandLine::parse(const QStringList& allArguments) {
    CommandLine result;
    const QStringList arguments = withoutQtOptions(allArguments, result);
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{"h", "help"});
    const QCommandLineOption version(QStringList{"v", "version"});
    const QCommandLineOption status("status");
    const QCommandLineOption format("format", QString(), "format");
    const QCommandLineOption follow("follow");
    const QCommandLineOption privacy("privacy", QString(), "on|off|toggle");
    const QCommandLineOption clickThrough("click-through", QString(), "on|off|toggle");
    const QCommandLineOption overnight("overnight", QString(), "on|off|toggle");
    const QCommandLineOption autoStart("auto-start", QString(), "on|off|toggle");
    const QCommandLineOption countdown("countdown", QString(), "on|off|toggle");
    const QCommandLineOption history("history");
    const QCommandLineOption days("days", QString(), "N");
    parser.addOptions({help, version, status, format, follow, privacy, clickThrough, overnight,
                       autoStart, countdown, history, days});
    for (const CommandOption& command : kCommands) {
        parser.addOption(QCommandLineOption(command.name));
    }

    const auto refuse = [&result](const QString& why) {
        result.action = Action::error;
        result.error = why;
        return result;
    };
    if (!parser.parse(arguments)) {
        return refuse(parser.unknownOptionNames().isEmpty()
                          ? QStringLiteral("选项缺少参数")
                          : QStringLiteral("未知选项：") +
                                asTyped(parser.unknownOptionNames(), arguments).join(' '));
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
    QStringList commands;
    for (const CommandOption& command : kCommands) {
        if (parser.isSet(command.name)) {
            commands << QString("--") + command.name;
            result.command = {command.verb, {}};
        }
    }
    for (const auto& [option, verb] : {std::pair{&privacy, InstanceProtocol::Verb::privacy},
                                       {&clickThrough, InstanceProtocol::Verb::clickThrough},
                                       {&overnight, InstanceProtocol::Verb::overnight},
                                       {&autoStart, InstanceProtocol::Verb::autoStart},
                                       {&countdown, InstanceProtocol::Verb::countdown}}) {
        if (!parser.isSet(*option)) {
            continue;
        }
        const QString value = parser.value(*option);
        const QString name = "--" + option->names().first();
        if (value != "on" && value != "off" && value != "toggle") {
            return refuse(name + QStringLiteral(" 的取值应为 on、off 或 toggle"));
        }
        commands << name;
        result.command = {verb, {value.toStdString()}};
    }
    if (commands.size() + (parser.isSet(status) ? 1 : 0) + (parser.isSet(history) ? 1 : 0) > 1) {
        return refuse(QStringLiteral("一次只能使用一个命令：") + commands.join(' '));
    }
    if (!commands.isEmpty()) {
        result.action = Action::command;
    }
    if (parser.isSet(days) && !parser.isSet(history)) {
        return refuse(QStringLiteral("--days 只能与 --history 一起使用"));
    }
    if (parser.isSet(follow) && !parser.isSet(status)) {
        return refuse(QStringLiteral("--follow 只能与 --status 一起使用"));
    }
    if (parser.isSet(history)) {
        return readHistory(result, parser.value(format), parser.isSet(days), parser.value(days));
    }
    if (!parser.isSet(status)) {
        if (parser.isSet(format)) {
            return refuse(QStringLiteral("--format 只能与 --status 或 --history 一起使用"));
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

CommandLine CommandLine::readHistory(CommandLine result, const QString& format, bool daysGiven,
                                     const QString& days) {
    result.action = Action::history;
    bool number = false;
    result.historyDays = daysGiven ? days.toInt(&number) : 30;
    if (daysGiven && (!number || result.historyDays < 1)) {
        result.action = Action::error;
        result.error = QStringLiteral("--days 的取值应为正整数");
    } else if (format == "csv") {
        result.historyFormat = HistoryFormat::csv;
    } else if (format == "json") {
        result.historyFormat = HistoryFormat::json;
    } else if (!format.isEmpty() && format != "plain") {
        result.action = Action::error;
        result.error =
            QStringLiteral("未知格式：") + format + QStringLiteral("（可用 plain、csv、json）");
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
        "  --history            按天打印最近有上班记录的日子（由旧到新）后退出：\n"
        "                       日期、小时数、金额；不需要显示器，也不修改任何文件\n"
        "  --days <N>           与 --history 同用：最近 N 个有记录的日子（默认 30）\n"
        "                       --history 的 --format 可为 plain（默认）、csv 或 json\n"
        "\n"
        "控制（正在运行时交给悬浮胶囊，立即生效）：\n"
        "  --start-work         开始上班（先保存当前设置），已在上班时不变\n"
        "  --stop-work          结束上班\n"
        "  --toggle-work        开始或结束上班，与设置窗口的按钮相同\n"
        "  --privacy <on|off|toggle>\n"
        "                       隐藏金额（屏幕共享时使用）：所有显示金额处改为 ¥•••.••\n"
        "  --click-through <on|off|toggle>\n"
        "                       鼠标穿透：悬浮胶囊不再接收鼠标，点击、拖动和滚轮都交给\n"
        "                       它下面的窗口；菜单仍可从托盘打开\n"
        "  --overnight <on|off|toggle>\n"
        "                       跨夜班：此后开始的上班过了午夜不结束，至下班时间所在日的\n"
        "                       次日零点为止\n"
        "  --auto-start <on|off|toggle>\n"
        "                       自动开始上班：工作日到设定时间（默认 09:00）自动开始\n"
        "  --countdown <on|off|toggle>\n"
        "                       悬浮胶囊显示距下班时间（如“距下班 2:15”）\n"
        "                       以上八项在 Orvelle 未运行时直接修改设置文件\n"
        "  --show-settings      打开设置窗口\n"
        "  --hide, --show, --toggle-capsule\n"
        "                       隐藏或显示悬浮胶囊（计薪照常进行）\n"
        "\n"
        "  -h, --help           显示本帮助\n"
        "  -v, --version        显示版本号\n");
}

}  // namespace orvelle
