#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>

#include "app/StatusReport.h"

class QFileSystemWatcher;

namespace orvelle {

// `orvelle --status`: prints the running session's amount, computed by the engine from the
// preferences file, which it reads and never writes. It needs no display. A file that cannot be
// read is an error, shown as such in every format and said on `diagnostics`, never a believable
// amount; a missing file is a first run, not an error.
class StatusCommand {
public:
    // Prints on the file descriptor `output` (standard output), so that a failed write or a
    // reader that went away is seen at once.
    StatusCommand(std::filesystem::path preferences, StatusFormat format, int output,
                  std::ostream& diagnostics);

    // Prints the report once. Returns the exit status: 1 when the file could not be read or the
    // output could not be written.
    int printOnce();

    // Prints the report, then again whenever its text changes (at most twice a second), until the
    // process is ended or the output is gone (closed, or its reader gone), when it returns 1.
    // Needs a running QCoreApplication.
    int follow();

    // Returns the report as the preferences file and the clock stand now; with `nextChange`,
    // also the first instant at which it can change with time alone (nothing when it cannot).
    StatusReport current(std::optional<Instant>* nextChange = nullptr) const;

private:
    // Writes `text` whole. Returns false, and says why unless the reader went away, on failure.
    bool print(const std::string& text);
    // Whether the output can no longer be read from: a pipe without reader, a hung-up terminal.
    bool outputGone() const;
    // One round of --follow: prints what changed. Returns false when the output is gone.
    bool followStep(std::string& shown, std::string& said, std::optional<Instant>& nextChange);
    // Watches the settings file's folder, or, until it exists, the nearest folder above it.
    void watchPreferences(QFileSystemWatcher& files) const;

    std::filesystem::path preferences_;
    StatusFormat format_;
    int output_;
    std::ostream& diagnostics_;
};

}  // namespace orvelle
