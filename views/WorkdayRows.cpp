#include "views/WorkdayRows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimeEdit>

#include "views/Fonts.h"
#include "views/Palette.h"
#include "views/RowControls.h"
#include "views/Styles.h"

namespace orvelle {

namespace {

// A break the user enters is refused; one already stored (the end of work moved, or the file was
// edited by hand) stays stored, and the pay ignores it until it fits again.
QString hintFor(BreakProblem problem, WorkdayRows::BreakSource source) {
    const bool stored = source == WorkdayRows::BreakSource::stored;
    const QString outcome = stored ? "，暂不扣除" : "，未保存";
    switch (problem) {
        case BreakProblem::endsBeforeStart:
            return "午休结束须晚于开始" + outcome;
        case BreakProblem::coversEndOfWork:
            return (stored ? "午休包含下班时间" : "午休不能包含下班时间") + outcome;
        case BreakProblem::none:
            break;
    }
    return {};
}

}  // namespace

WorkdayRows::WorkdayRows(SalaryStore& store, QWidget* parent) : QWidget(parent), store_(store) {
    setObjectName("workdayRows");
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(buildBreakRow());
    breakHint_ = styles::label({}, viewFont(12), palette::accentRose);
    breakHint_->setObjectName("breakHint");
    breakHint_->setWordWrap(true);
    breakHint_->hide();
    column->addWidget(breakHint_);
    column->addWidget(buildAfterEndRow());
    endNotice_ = new QCheckBox("下班提醒");
    endNotice_->setObjectName("endNotice");
    endNotice_->setFont(viewFont(kRowPixels));
    connect(endNotice_, &QCheckBox::toggled, this, [this](bool on) {
        WorkdayRules rules = store_.workday();
        rules.endNotice = on;
        apply(rules);
    });
    column->addWidget(endNotice_);
    showStoredRules();
    // Only this page changes the rules, so the controls follow the store only when they change
    // there; the end of work is watched because a break is checked against it.
    subscription_ = store_.subscribe(
        [this](StoreProperty property) {
            if (property == StoreProperty::workday) {
                showStoredRules();
            } else if (property == StoreProperty::scheduleEnd && breakOn_->isChecked()) {
                changeBreak();
            }
        },
        {StoreProperty::workday, StoreProperty::scheduleEnd});
}

QWidget* WorkdayRows::buildBreakRow() {
    auto* row = new QWidget;
    QHBoxLayout* layout = rowLayout(row);
    breakOn_ = new QCheckBox("午休不计薪");
    breakOn_->setObjectName("breakEnabled");
    breakOn_->setFont(viewFont(kRowPixels));
    breakStart_ = timeField("breakStart", "午休开始");
    breakEnd_ = timeField("breakEnd", "午休结束");
    for (QTimeEdit* field : {breakStart_, breakEnd_}) {
        connect(field, &QTimeEdit::timeChanged, this, [this] { changeBreak(); });
    }
    connect(breakOn_, &QCheckBox::toggled, this, [this] { changeBreak(); });
    layout->addWidget(breakOn_);
    layout->addWidget(breakStart_);
    layout->addWidget(styles::label("至", viewFont(kRowPixels), palette::plum));
    layout->addWidget(breakEnd_);
    layout->addStretch(1);
    return row;
}

QWidget* WorkdayRows::buildAfterEndRow() {
    auto* row = new QWidget;
    QHBoxLayout* layout = rowLayout(row);
    afterEnd_ = new QComboBox;
    afterEnd_->setObjectName("afterEnd");
    afterEnd_->setAccessibleName(QStringLiteral("下班后"));
    afterEnd_->setFont(viewFont(kRowPixels));
    afterEnd_->addItem("继续计薪", static_cast<int>(AfterEnd::keepPaying));
    afterEnd_->addItem("停止计薪", static_cast<int>(AfterEnd::stop));
    afterEnd_->addItem("加班", static_cast<int>(AfterEnd::overtime));
    overtimeRate_ = new QComboBox;
    overtimeRate_->setObjectName("overtimeRate");
    overtimeRate_->setAccessibleName(QStringLiteral("加班倍率"));
    overtimeRate_->setFont(viewFont(kRowPixels));
    for (const double rate : kOvertimeRates) {
        overtimeRate_->addItem(QString::number(rate) + "×", rate);
    }
    for (QComboBox* box : {afterEnd_, overtimeRate_}) {
        connect(box, &QComboBox::activated, this, [this] { changeAfterEnd(); });
    }
    layout->addWidget(styles::label("下班后", viewFont(kRowPixels), palette::plum));
    layout->addWidget(afterEnd_);
    layout->addWidget(overtimeRate_);
    layout->addStretch(1);
    return row;
}

void WorkdayRows::showStoredRules() {
    const WorkdayRules& rules = store_.workday();
    {
        const QSignalBlocker block(breakOn_);
        breakOn_->setChecked(rules.breakEnabled);
    }
    showMinutes(breakStart_, rules.breakStartMinutes);
    showMinutes(breakEnd_, rules.breakEndMinutes);
    breakStart_->setEnabled(rules.breakEnabled);
    breakEnd_->setEnabled(rules.breakEnabled);
    afterEnd_->setCurrentIndex(afterEnd_->findData(static_cast<int>(rules.afterEnd)));
    overtimeRate_->setCurrentIndex(overtimeRate_->findData(rules.overtimeRate));
    overtimeRate_->setVisible(rules.afterEnd == AfterEnd::overtime);
    const QSignalBlocker block(endNotice_);
    endNotice_->setChecked(rules.endNotice);
}

void WorkdayRows::showBreakProblem(BreakProblem problem, BreakSource source) {
    breakHint_->setText(hintFor(problem, source));
    breakHint_->setVisible(problem != BreakProblem::none);
}

void WorkdayRows::changeBreak() {
    const bool on = breakOn_->isChecked();
    breakStart_->setEnabled(on);
    breakEnd_->setEnabled(on);
    WorkdayRules rules = store_.workday();
    const BreakProblem problem =
        on ? checkBreak(minutesOf(breakStart_), minutesOf(breakEnd_), store_.scheduleEndMinutes())
           : BreakProblem::none;
    const bool stored = rules.breakEnabled && rules.breakStartMinutes == minutesOf(breakStart_) &&
                        rules.breakEndMinutes == minutesOf(breakEnd_);
    showBreakProblem(problem, on && stored ? BreakSource::stored : BreakSource::entered);
    if (problem != BreakProblem::none) {
        return;
    }
    rules.breakEnabled = on;
    if (on) {
        rules.breakStartMinutes = minutesOf(breakStart_);
        rules.breakEndMinutes = minutesOf(breakEnd_);
    }
    if (rules != store_.workday()) {
        apply(rules);
    }
}

void WorkdayRows::changeAfterEnd() {
    WorkdayRules rules = store_.workday();
    rules.afterEnd = static_cast<AfterEnd>(afterEnd_->currentData().toInt());
    rules.overtimeRate = overtimeRate_->currentData().toDouble();
    apply(rules);
}

void WorkdayRows::apply(const WorkdayRules& rules) {
    store_.setWorkday(rules);
    store_.saveSettings();
}

}  // namespace orvelle
