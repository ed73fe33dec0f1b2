#pragma once

#include <QString>
#include <QStringList>

#include "app/StatusReport.h"

namespace orvelle {

// What the command line asks for.
struct CommandLine {
    enum class Action { run, status, help, version, error };

    Action action = Action::run;
    StatusFormat format = StatusFormat::plain;
    bool follow = false;
    QString error;  // why the command line was refused, for Action::error

    // Reads `arguments` (the program's name first). The options Qt itself takes when the
    // application runs (-platform, -display, -style, …) are let through.
    static CommandLine parse(const QStringList& arguments);

    // Returns the text of --help.
    static QString helpText();
};

}  // namespace orvelle
