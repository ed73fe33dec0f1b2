#pragma once

#include <QAccessibleWidget>

class QAbstractButton;

namespace orvelle {

// What a screen reader sees of a checkable segment of an exclusive button group: a radio button
// that is checked or not, or a page tab that is selected or not, named by its text, that a press
// chooses.
class SegmentAccessible final : public QAccessibleWidget {
public:
    // `role` is QAccessible::RadioButton or QAccessible::PageTab.
    SegmentAccessible(QAbstractButton* button, QAccessible::Role role);

    // Returns the name (the accessible name, else the text) and the other texts of the widget.
    QString text(QAccessible::Text which) const override;
    // Returns the widget's state with whether the segment is the chosen one.
    QAccessible::State state() const override;
    // Returns the press action and the widget's own.
    QStringList actionNames() const override;
    // Carries out an action: a press clicks the segment.
    void doAction(const QString& action) override;

private:
    QAbstractButton* button() const;
};

}  // namespace orvelle
