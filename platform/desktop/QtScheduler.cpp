#include "platform/desktop/QtScheduler.h"

#include <QSocketNotifier>

#include <cstdlib>

#include "platform/posix/WallClockTimer.h"
#include "platform/posix/ZoneFileWatch.h"

namespace orvelle {

namespace {

class QtWakeTimer final : public WakeTimer {
public:
    explicit QtWakeTimer(std::function<void(WakeReason)> callback)
        : callback_(std::move(callback)) {
        clockNotifier_ = notifierOn(clock_.fd(), [this] {
            const WallClockTimer::Event event = clock_.take();
            if (event != WallClockTimer::Event::none) {
                callback_(event == WallClockTimer::Event::due ? WakeReason::due
                                                              : WakeReason::clockChanged);
            }
        });
        zoneNotifier_ = notifierOn(zone_.fd(), [this] {
            if (zone_.changed()) {
                callback_(WakeReason::clockChanged);
            }
        });
    }

    // The callback may destroy its own timer: the notifiers go once their signal has returned.
    ~QtWakeTimer() override {
        for (QSocketNotifier* notifier : {clockNotifier_, zoneNotifier_}) {
            if (notifier != nullptr) {
                notifier->setEnabled(false);
                notifier->disconnect();
                notifier->deleteLater();
            }
        }
    }
    QtWakeTimer(const QtWakeTimer&) = delete;
    QtWakeTimer& operator=(const QtWakeTimer&) = delete;

    void wakeAt(Instant when) override { clock_.arm(when); }
    // A zone named by $TZ may be a file of its own, which only the C library's check sees.
    bool reportsZoneChanges() const override { return zone_.watching() && !zoneFromEnvironment_; }

private:
    template <typename Slot>
    static QSocketNotifier* notifierOn(int fd, Slot slot) {
        if (fd < 0) {
            return nullptr;
        }
        auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read);
        QObject::connect(notifier, &QSocketNotifier::activated, notifier, std::move(slot));
        return notifier;
    }

    std::function<void(WakeReason)> callback_;
    WallClockTimer clock_;
    ZoneFileWatch zone_;
    const bool zoneFromEnvironment_ = std::getenv("TZ") != nullptr;
    QSocketNotifier* clockNotifier_ = nullptr;
    QSocketNotifier* zoneNotifier_ = nullptr;
};

}  // namespace

std::unique_ptr<WakeTimer> QtScheduler::wakeTimer(std::function<void(WakeReason)> callback) {
    return std::make_unique<QtWakeTimer>(std::move(callback));
}

}  // namespace orvelle
