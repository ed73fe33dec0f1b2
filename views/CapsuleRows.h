#pragma once

#include <QObject>

#include "engine/SalaryStore.h"

class QCheckBox;
class QComboBox;

namespace orvelle {

class DesktopCard;

// The rows of the "桌面" card that set the capsule's look: its size, its opacity, whether the
// amounts are hidden, and whether it goes back where the user dragged it. Each change is saved at
// once; each row follows the store, whoever changed it (a middle click on the capsule, the tray,
// the command line).
class CapsuleRows final : public QObject {
public:
    // Adds the rows to `card`, which owns them and this.
    CapsuleRows(SalaryStore& store, DesktopCard& card);

private:
    void refresh();

    SalaryStore& store_;
    QComboBox* scale_;
    QComboBox* opacity_;
    QCheckBox* privacy_;
    QCheckBox* rememberPosition_;
    QCheckBox* clickThrough_;
    Subscription subscription_;
};

}  // namespace orvelle
