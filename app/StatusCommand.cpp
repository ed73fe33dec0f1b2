#include "app/StatusCommand.h"

#include <poll.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <ostream>
#include <sstream>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QSocketNotifier>
#include <QTimer>

#include "platform/posix/JsonFilePreferences.h"
#include "platform/posix/SystemCalendar.h"
#include "platform/posix/SystemClock.h"
#include "platform/posix/WallClockTimer.h"

namespace orvelle {

namespace {

// --follow prints at most twice a second.
constexpr qint64 kShortestFollowMs = 500;

// A scheduler that only remembers the instant the store asked to be woken at.
class RecordingScheduler final : public Scheduler {
public:
    std::unique_ptr<WakeTimer> wakeTimer(std::function<void(WakeReason)>) override {
        return std::make_unique<Timer>(wake_);
    }
    std::optional<Instant> wake() const { return wake_; }

private:
    struct Timer final : WakeTimer {
        explicit Timer(std::optional<Instant>& wake) : wake_(wake) {}
        void wakeAt(Instant when) override { wake_ = when; }
        std::optional<Instant>& wake_;
    };
    std::optional<Instant> wake_;
};

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
StatusReport StatusCommand::current(std::optional<Instant>* nextChange) const {
    static SystemClock clock;
    static SystemCalendar calendar;
    RecordingScheduler scheduler;
    // The store's own lines would say "read as empty"; the problem is said here instead.
    std::ostringstream quiet;
    JsonFilePreferences preferences(preferences_, quiet, JsonFilePreferences::Access::readOnly);
    if (!preferences.problem().empty()) {
        return StatusReport::failed(preferences.problem());
    }
    const SalaryStore store(StoreServices{preferences, clock, calendar, scheduler});
    if (nextChange != nullptr) {
        *nextChange = scheduler.wake();
    }
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

bool StatusCommand::followStep(std::string& shown, std::string& said,
                               std::optional<Instant>& nextChange) {
    // An idle amount never changes, so nothing would be written to notice a reader gone: ask.
    if (outputGone()) {
        return false;
    }
    const StatusReport report = current(&nextChange);
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

// Wakes when the amount can change (the store's own next instant), when the wall clock is set,
// when the settings file or its folder changes (a session started or stopped, a setting saved),
// and, where standard output is a pipe, when its reader goes away; a step comes at most twice a
// second of real time, whatever the wall clock does.
int StatusCommand::follow() {
    std::string shown;
    std::string said;
    std::optional<Instant> next;
    WallClockTimer wake;
    QFileSystemWatcher files;
    QElapsedTimer sinceStep;
    QTimer held;
    held.setSingleShot(true);
    const auto step = [&] {
        sinceStep.start();
        watchPreferences(files);
        if (!followStep(shown, said, next)) {
            QCoreApplication::exit(1);
        } else if (next) {
            wake.arm(*next);
        }
    };
    const auto request = [&] {
        if (held.isActive()) {
            return;
        }
        const qint64 since = sinceStep.elapsed();
        if (since >= kShortestFollowMs) {
            step();
        } else {
            held.start(static_cast<int>(kShortestFollowMs - since));
        }
    };
    QObject::connect(&held, &QTimer::timeout, step);
    QSocketNotifier woken(wake.fd(), QSocketNotifier::Read);
    QObject::connect(&woken, &QSocketNotifier::activated, [&] {
        if (wake.take() != WallClockTimer::Event::none) {
            request();
        }
    });
    QObject::connect(&files, &QFileSystemWatcher::directoryChanged, request);
    QObject::connect(&files, &QFileSystemWatcher::fileChanged, request);
    // A pipe whose reader went away polls as an error, which Qt reports as readable; a terminal
    // would report every key typed, so it is left to the next write.
    std::unique_ptr<QSocketNotifier> reader;
    if (::isatty(output_) == 0) {
        reader = std::make_unique<QSocketNotifier>(output_, QSocketNotifier::Read);
        QObject::connect(reader.get(), &QSocketNotifier::activated, [&] {
            if (outputGone()) {
                QCoreApplication::exit(1);
            }
        });
    }
    step();
    return QCoreApplication::exec();
}

// Watches the settings file's folder, where a saved file replaces the old one; until the folder
// exists, the folder it will be made in.
void StatusCommand::watchPreferences(QFileSystemWatcher& files) const {
    // The file itself, for a change in place; a file replaced by a rename is a new one to watch.
    const QString file = QString::fromStdString(preferences_.string());
    if (!files.files().contains(file)) {
        files.addPath(file);
    }
    for (auto folder = preferences_.parent_path(); !folder.empty(); folder = folder.parent_path()) {
        const QString path = QString::fromStdString(folder.string());
        if (files.directories().contains(path) || files.addPath(path) ||
            folder == folder.root_path()) {
            return;
        }
    }
}

}  // namespace orvelle
