#pragma once

#include <string>

#include <QString>
#include <QStringList>

#include "app/StatusReport.h"
#include "platform/posix/InstanceProtocol.h"

namespace orvelle {

// What the command line asks for.
struct CommandLine {
    enum class Action { run, status, command, help, version, error };

    Action action = Action::run;
    // What to ask of the running instance, for Action::command.
    InstanceProtocol::Request command{InstanceProtocol::Verb::activate, {}};
    StatusFormat format = StatusFormat::plain;
    bool follow = false;
    QString error;  // why the command line was refused, for Action::error
    // Qt's own -platform and -display, as Qt reads them (the value in the next argument).
    std::string qtPlatform;
    std::string qtDisplay;

    // Reads `arguments` (the program's name first). The options Qt itself takes when the
    // application runs (-platform, -display, -style, …) are let through.
    static CommandLine parse(const QStringList& arguments);

    // Returns the text of --help.
    static QString helpText();
};

}  // namespace orvelle
