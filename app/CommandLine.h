#pragma once

#include <string>

#include <QString>
#include <QStringList>

#include "app/StatusReport.h"
#include "platform/posix/InstanceProtocol.h"
#include "views/HistoryText.h"

namespace orvelle {

// What the command line asks for.
struct CommandLine {
    enum class Action { run, status, history, command, help, version, error };

    Action action = Action::run;
    // What to ask of the running instance, for Action::command.
    InstanceProtocol::Request command{InstanceProtocol::Verb::activate, {}};
    StatusFormat format = StatusFormat::plain;
    bool follow = false;
    HistoryFormat historyFormat = HistoryFormat::plain;
    int historyDays = 30;  // how many of the last days with work --history prints
    QString error;         // why the command line was refused, for Action::error
    // Qt's own -platform and -display, as Qt reads them (the value in the next argument).
    std::string qtPlatform;
    std::string qtDisplay;

    // Reads `arguments` (the program's name first). The options Qt itself takes when the
    // application runs (-platform, -display, -style, …) are let through.
    static CommandLine parse(const QStringList& arguments);

    // Returns the text of --help.
    static QString helpText();

private:
    // Reads the options of --history into `result`.
    static CommandLine readHistory(CommandLine result, const QString& format, bool daysGiven,
                                   const QString& days);
};

}  // namespace orvelle
