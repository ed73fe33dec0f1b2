#pragma once

#include <filesystem>
#include <iosfwd>

#include "app/StatusReport.h"

namespace orvelle {

// `orvelle --status`: prints the running session's amount, computed by the engine from the
// preferences file, which it reads and never writes. It needs no display.
class StatusCommand {
public:
    StatusCommand(std::filesystem::path preferences, StatusFormat format, std::ostream& out,
                  std::ostream& diagnostics);

    // Prints the report once. Returns the exit status.
    int printOnce();

    // Prints the report, then again whenever its text changes, checking twice a second, until
    // the process is ended. Needs a running QCoreApplication; returns the exit status.
    int follow();

    // Returns the report as the preferences file and the clock stand now; what is wrong with the
    // file is said on `diagnostics`.
    StatusReport current(std::ostream& diagnostics) const;

private:
    std::filesystem::path preferences_;
    StatusFormat format_;
    std::ostream& out_;
    std::ostream& diagnostics_;
};

}  // namespace orvelle
