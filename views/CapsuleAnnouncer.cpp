#include "views/CapsuleAnnouncer.h"

#include <QAccessible>
#include <QWidget>

namespace orvelle {

CapsuleAnnouncer::CapsuleAnnouncer(QWidget& view) : QObject(&view), view_(view) {
    pending_.setSingleShot(true);
    connect(&pending_, &QTimer::timeout, this, [this] { announce(); });
}

void CapsuleAnnouncer::stateChanged() {
    announce();
}

void CapsuleAnnouncer::amountChanged() {
    if (pending_.isActive()) {
        return;
    }
    const auto since = std::chrono::milliseconds(sinceLast_.isValid() ? sinceLast_.elapsed() : 0);
    if (!sinceLast_.isValid() || since >= kInterval) {
        announce();
    } else {
        pending_.start(kInterval - since);
    }
}

void CapsuleAnnouncer::announce() {
    pending_.stop();
    sinceLast_.start();
    QAccessibleEvent named(&view_, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
    QAccessibleInterface* capsule = QAccessible::queryAccessibleInterface(&view_);
    if (capsule != nullptr && capsule->valueInterface() != nullptr) {
        QAccessibleValueChangeEvent valued(&view_, capsule->valueInterface()->currentValue());
        QAccessible::updateAccessibility(&valued);
    }
}

}  // namespace orvelle
