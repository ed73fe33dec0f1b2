#pragma once

#include <QAccessibleWidget>

namespace orvelle {

class FloatingAmountView;

// What a screen reader sees of the capsule: text named by the amount and the state ("今日收入
// ¥852.47，上班中"), with the amount as its value (none while amounts are hidden), and an action
// that opens its menu.
class CapsuleAccessible final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit CapsuleAccessible(FloatingAmountView* view);

    // Returns the capsule's summary as its name, and the widget's other texts.
    QString text(QAccessible::Text which) const override;
    // Returns this as the value interface, and the widget's other interfaces.
    void* interface_cast(QAccessible::InterfaceType type) override;
    // Returns the action that opens the menu, and the widget's own.
    QStringList actionNames() const override;
    // Carries out an action: the menu one opens the capsule's menu.
    void doAction(const QString& action) override;

    // Returns the amount earned, or nothing while amounts are hidden.
    QVariant currentValue() const override;
    // Does nothing: the amount is only read.
    void setCurrentValue(const QVariant&) override {}
    // Return no bounds and no step: the amount has none.
    QVariant maximumValue() const override { return {}; }
    QVariant minimumValue() const override { return {}; }
    QVariant minimumStepSize() const override { return {}; }

private:
    FloatingAmountView* view() const;
};

}  // namespace orvelle
