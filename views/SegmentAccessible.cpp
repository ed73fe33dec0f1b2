#include "views/SegmentAccessible.h"

#include <QAbstractButton>

namespace orvelle {

SegmentAccessible::SegmentAccessible(QAbstractButton* button, QAccessible::Role role)
    : QAccessibleWidget(button, role) {}

QAbstractButton* SegmentAccessible::button() const {
    return static_cast<QAbstractButton*>(widget());
}

QString SegmentAccessible::text(QAccessible::Text which) const {
    if (which == QAccessible::Name && button()->accessibleName().isEmpty()) {
        QString name = button()->text();
        return name.remove(QLatin1Char('&'));
    }
    return QAccessibleWidget::text(which);
}

QAccessible::State SegmentAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    const bool chosen = button()->isChecked();
    if (role() == QAccessible::PageTab) {
        state.selectable = true;
        state.selected = chosen;
    } else {
        state.checkable = true;
        state.checked = chosen;
    }
    return state;
}

QStringList SegmentAccessible::actionNames() const {
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
}

void SegmentAccessible::doAction(const QString& action) {
    if (action == pressAction() && button()->isEnabled()) {
        button()->click();
        return;
    }
    QAccessibleWidget::doAction(action);
}

}  // namespace orvelle
