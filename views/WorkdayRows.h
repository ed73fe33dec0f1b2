#pragma once

#include <QWidget>

#include "engine/SalaryStore.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QTimeEdit;

namespace orvelle {

// The settings rows of the working day: the unpaid break with its start and end, what the pay does
// after the end of work (goes on, stops, or goes on as overtime at a multiplier) and the
// end-of-work notice. Each change goes into the store and is saved at once; a break that cannot be
// kept is refused with a hint below it and never reaches the store, while the controls keep what
// the user set so that it can be corrected.
class WorkdayRows final : public QWidget {
    Q_OBJECT

public:
    explicit WorkdayRows(SalaryStore& store, QWidget* parent = nullptr);

    // Where a break that does not fit came from: the controls (refused, never stored) or the store
    // (kept, and ignored by the pay until it fits again).
    enum class BreakSource { entered, stored };

private:
    QWidget* buildBreakRow();
    QWidget* buildAfterEndRow();
    void showStoredRules();
    void showBreakProblem(BreakProblem problem, BreakSource source);
    void changeBreak();
    void changeAfterEnd();
    void apply(const WorkdayRules& rules);

    SalaryStore& store_;
    Subscription subscription_;
    QCheckBox* breakOn_ = nullptr;
    QTimeEdit* breakStart_ = nullptr;
    QTimeEdit* breakEnd_ = nullptr;
    QLabel* breakHint_ = nullptr;
    QComboBox* afterEnd_ = nullptr;
    QComboBox* overtimeRate_ = nullptr;
    QCheckBox* endNotice_ = nullptr;
};

}  // namespace orvelle
