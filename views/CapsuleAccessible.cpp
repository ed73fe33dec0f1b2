#include "views/CapsuleAccessible.h"

#include "views/FloatingAmountView.h"

namespace orvelle {

CapsuleAccessible::CapsuleAccessible(FloatingAmountView* view)
    : QAccessibleWidget(view, QAccessible::StaticText) {}

FloatingAmountView* CapsuleAccessible::view() const {
    return static_cast<FloatingAmountView*>(widget());
}

QString CapsuleAccessible::text(QAccessible::Text which) const {
    if (which == QAccessible::Name) {
        return view()->spokenSummary();
    }
    return QAccessibleWidget::text(which);
}

void* CapsuleAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ValueInterface) {
        return static_cast<QAccessibleValueInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

QStringList CapsuleAccessible::actionNames() const {
    return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
}

void CapsuleAccessible::doAction(const QString& action) {
    if (action == showMenuAction()) {
        view()->showMenu();
        return;
    }
    QAccessibleWidget::doAction(action);
}

QVariant CapsuleAccessible::currentValue() const {
    const std::optional<double> amount = view()->spokenAmount();
    return amount ? QVariant(*amount) : QVariant();
}

}  // namespace orvelle
