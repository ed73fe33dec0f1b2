#include "app/StatusCommand.h"

#include <ostream>
#include <sstream>

#include <QCoreApplication>
#include <QTimer>

#include "platform/InertScheduler.h"
#include "platform/JsonFilePreferences.h"
#include "platform/SystemCalendar.h"
#include "platform/SystemClock.h"

namespace orvelle {

namespace {

constexpr std::chrono::milliseconds kFollowInterval{500};

}  // namespace

StatusCommand::StatusCommand(std::filesystem::path preferences, StatusFormat format,
                             std::ostream& out, std::ostream& diagnostics)
    : preferences_(std::move(preferences)), format_(format), out_(out), diagnostics_(diagnostics) {}

// The store is built afresh from the file each time, as the application would be on a relaunch
// at this instant: so the figure agrees with the capsule's, and a session the application starts
// or stops meanwhile shows at the next check. Whatever the store would write stays in memory.
StatusReport StatusCommand::current(std::ostream& diagnostics) const {
    static SystemClock clock;
    static SystemCalendar calendar;
    static InertScheduler scheduler;
    JsonFilePreferences preferences(preferences_, diagnostics,
                                    JsonFilePreferences::Access::readOnly);
    const SalaryStore store(StoreServices{preferences, clock, calendar, scheduler});
    return StatusReport::of(store);
}

int StatusCommand::printOnce() {
    // A damaged or unreadable file is reported but still read as empty.
    out_ << current(diagnostics_).render(format_) << std::flush;
    return 0;
}

int StatusCommand::follow() {
    // Said once, at the first reading, rather than twice a second for as long as it runs.
    std::string shown;
    std::ostream* diagnostics = &diagnostics_;
    std::ostringstream quiet;
    const auto update = [this, &shown, &diagnostics, &quiet] {
        std::string rendered = current(*diagnostics).render(format_);
        diagnostics = &quiet;
        quiet.str("");
        if (rendered != shown) {
            shown = std::move(rendered);
            out_ << shown << std::flush;
        }
    };
    update();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, update);
    timer.start(kFollowInterval);
    return QCoreApplication::exec();
}

}  // namespace orvelle
