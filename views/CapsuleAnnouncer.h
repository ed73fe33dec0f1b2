#pragma once

#include <QElapsedTimer>
#include <QTimer>

class QWidget;

namespace orvelle {

// Tells screen readers that the capsule's name and value changed: at once when its state changes,
// and, while only the amount ticks (up to 20 times a second), at most once per interval, the last
// change always told once the interval is over. Call it only while a screen reader is active.
class CapsuleAnnouncer final : public QObject {
public:
    static constexpr std::chrono::milliseconds kInterval{5000};

    explicit CapsuleAnnouncer(QWidget& view);

    // Announces the new state now.
    void stateChanged();
    // Announces the new amount now if the last announcement is an interval old, else when it is.
    void amountChanged();

private:
    void announce();

    QWidget& view_;
    QElapsedTimer sinceLast_;
    QTimer pending_;
};

}  // namespace orvelle
