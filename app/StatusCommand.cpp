#include "app/StatusCommand.h"

#include <poll.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <ostream>
#include <sstream>

#include <QCoreApplication>
#include <QTimer>

#include "platform/api/InertScheduler.h"
#include "platform/posix/JsonFilePreferences.h"
#include "platform/posix/SystemCalendar.h"
#include "platform/posix/SystemClock.h"

namespace orvelle {

namespace {

constexpr std::chrono::milliseconds kFollowInterval{500};

}  // namespace

StatusCommand::StatusCommand(std::filesystem::path preferences, StatusFormat format, int output,
                             std::ostream& diagnostics)
    : preferences_(std::move(preferences)),
      format_(format),
      output_(output),
      diagnostics_(diagnostics) {}

// The store is built afresh from the file each time, as the application would be on a relaunch
// at this instant: so the figure agrees with the capsule's, and a session the application starts
// or stops meanwhile shows at the next check. Whatever the store would write stays in memory.
StatusReport StatusCommand::current() const {
    static SystemClock clock;
    static SystemCalendar calendar;
    static InertScheduler scheduler;
    // The store's own lines would say "read as empty"; the problem is said here instead.
    std::ostringstream quiet;
    JsonFilePreferences preferences(preferences_, quiet, JsonFilePreferences::Access::readOnly);
    if (!preferences.problem().empty()) {
        return StatusReport::failed(preferences.problem());
    }
    const SalaryStore store(StoreServices{preferences, clock, calendar, scheduler});
    return StatusReport::of(store);
}

bool StatusCommand::print(const std::string& text) {
    for (size_t done = 0; done < text.size();) {
        const ssize_t written = ::write(output_, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0) {
            // A bar that went away has nobody left to tell.
            if (errno != EPIPE) {
                diagnostics_ << "orvelle: 无法写入标准输出（" << std::strerror(errno) << "）\n"
                             << std::flush;
            }
            return false;
        }
        done += static_cast<size_t>(written);
    }
    return true;
}

bool StatusCommand::outputGone() const {
    pollfd output{output_, 0, 0};
    return ::poll(&output, 1, 0) > 0 && (output.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0;
}

int StatusCommand::printOnce() {
    const StatusReport report = current();
    if (!report.problem.empty()) {
        diagnostics_ << "orvelle: " << report.problem << "\n" << std::flush;
    }
    const bool printed = print(report.render(format_));
    return printed && report.problem.empty() ? 0 : 1;
}

bool StatusCommand::followStep(std::string& shown, std::string& said) {
    // An idle amount never changes, so nothing would be written to notice a reader gone: ask.
    if (outputGone()) {
        return false;
    }
    const StatusReport report = current();
    // A problem is said when it appears or changes, not twice a second while it lasts.
    if (report.problem != said) {
        said = report.problem;
        if (!said.empty()) {
            diagnostics_ << "orvelle: " << said << "\n" << std::flush;
        }
    }
    std::string rendered = report.render(format_);
    if (rendered == shown) {
        return true;
    }
    shown = std::move(rendered);
    return print(shown);
}

int StatusCommand::follow() {
    std::string shown;
    std::string said;
    if (!followStep(shown, said)) {
        return 1;
    }
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [this, &shown, &said] {
        if (!followStep(shown, said)) {
            QCoreApplication::exit(1);
        }
    });
    timer.start(kFollowInterval);
    return QCoreApplication::exec();
}

}  // namespace orvelle
