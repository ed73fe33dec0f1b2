#include "platform/desktop/QtScheduler.h"

#include <QTimer>

namespace orvelle {

namespace {

class QtRepeatingTimer final : public RepeatingTimer {
public:
    QtRepeatingTimer(std::chrono::milliseconds interval, std::function<void()> callback) {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(interval);
        QObject::connect(&timer_, &QTimer::timeout, &timer_, std::move(callback));
        timer_.start();
    }

    void invalidate() override {
        timer_.stop();
        timer_.disconnect();
    }

private:
    QTimer timer_;
};

}  // namespace

std::unique_ptr<RepeatingTimer> QtScheduler::scheduleRepeating(std::chrono::milliseconds interval,
                                                               std::function<void()> callback) {
    return std::make_unique<QtRepeatingTimer>(interval, std::move(callback));
}

}  // namespace orvelle
