#include "views/WeekRows.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimeEdit>

#include "views/Fonts.h"
#include "views/Palette.h"
#include "views/RowControls.h"
#include "views/ShownAmount.h"
#include "views/Styles.h"

namespace orvelle {

namespace {

constexpr const char* kDayNames[] = {"一", "二", "三", "四", "五", "六", "日"};

}  // namespace

WeekRows::WeekRows(SalaryStore& store, QWidget* parent) : QWidget(parent), store_(store) {
    setObjectName("weekRows");
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    // The page is as tall as the designed one: the two switches share a row, and the status
    // stands beside the automatic start it mostly speaks of.
    auto* switches = new QWidget;
    QHBoxLayout* switchRow = rowLayout(switches);
    overnight_ = checkBox("跨夜班", "overnight", &WorkingWeek::overnight);
    overnight_->setToolTip(QStringLiteral("过了午夜不结束，直到下班时间所在日的次日零点"));
    countdown_ = checkBox("显示距下班时间", "showCountdown", &WorkingWeek::showCountdown);
    switchRow->addWidget(overnight_);
    switchRow->addWidget(countdown_);
    switchRow->addStretch(1);
    column->addWidget(switches);
    column->addWidget(buildDaysRow());
    column->addWidget(buildAutoStartRow());
    showStoredWeek();
    subscription_ = store_.subscribe(
        [this](StoreProperty property) {
            if (property == StoreProperty::week) {
                showStoredWeek();
            } else {  // the time left, announced also as a session opens or ends
                showStatus();
            }
        },
        {StoreProperty::week, StoreProperty::minutesToEnd});
}

QCheckBox* WeekRows::checkBox(const char* text, const char* name, bool WorkingWeek::*setting) {
    auto* box = new QCheckBox(QString::fromUtf8(text));
    box->setObjectName(name);
    box->setFont(viewFont(kRowPixels));
    connect(box, &QCheckBox::clicked, this, [this, setting](bool on) {
        WorkingWeek week = store_.week();
        week.*setting = on;
        apply(week);
    });
    return box;
}

QWidget* WeekRows::buildDaysRow() {
    auto* row = new QWidget;
    QHBoxLayout* layout = rowLayout(row);
    layout->setSpacing(0);
    layout->addWidget(styles::label("工作日", viewFont(kRowPixels), palette::plum));
    layout->addSpacing(8);
    for (int i = 0; i < 7; ++i) {
        auto* day = new QPushButton(QString::fromUtf8(kDayNames[i]));
        day->setObjectName(QStringLiteral("workday%1").arg(i + 1));
        day->setAccessibleName(QStringLiteral("星期") + QString::fromUtf8(kDayNames[i]));
        day->setCheckable(true);
        day->setFont(viewFont(kRowPixels));
        // Seven segments of one character each: narrower padding than the page buttons'.
        day->setStyleSheet(styles::segmentedButton(i == 0, i == 6) +
                           "QPushButton { padding: 4px 6px; }"
                           "QPushButton:focus { padding: 3px 5px; }");
        connect(day, &QPushButton::clicked, this, [this, i](bool on) {
            WorkingWeek week = store_.week();
            week.workdays = static_cast<std::uint8_t>(on ? week.workdays | 1U << i
                                                         : week.workdays & ~(1U << i));
            apply(week);
        });
        days_[static_cast<std::size_t>(i)] = day;
        layout->addWidget(day);
    }
    layout->addStretch(1);
    return row;
}

QWidget* WeekRows::buildAutoStartRow() {
    auto* row = new QWidget;
    QHBoxLayout* layout = rowLayout(row);
    autoStart_ = checkBox("自动开始上班", "autoStart", &WorkingWeek::autoStart);
    autoStartTime_ = timeField("autoStartTime", "自动开始时间");
    connect(autoStartTime_, &QTimeEdit::timeChanged, this, [this] {
        WorkingWeek week = store_.week();
        week.autoStartMinutes = minutesOf(autoStartTime_);
        apply(week);
    });
    status_ = styles::label({}, viewFont(12), palette::plum);
    status_->setObjectName("weekStatus");
    layout->addWidget(autoStart_);
    layout->addWidget(autoStartTime_);
    layout->addStretch(1);
    layout->addWidget(status_);
    return row;
}

void WeekRows::showStoredWeek() {
    const WorkingWeek& week = store_.week();
    for (auto [box, on] : {std::pair{overnight_, week.overnight},
                           {autoStart_, week.autoStart},
                           {countdown_, week.showCountdown}}) {
        box->setChecked(on);
    }
    for (std::size_t i = 0; i < days_.size(); ++i) {
        days_[i]->setChecked(week.isWorkday(static_cast<int>(i) + 1));
    }
    showMinutes(autoStartTime_, week.autoStartMinutes);
    autoStartTime_->setEnabled(week.autoStart);
    showStatus();
}

// When work starts by itself, and the time left while a session is open, as the tray says them.
void WeekRows::showStatus() {
    QStringList parts;
    for (const std::string& part : {autoStartText(store_.week()), timeLeftText(store_)}) {
        if (!part.empty()) {
            parts << QString::fromStdString(part);
        }
    }
    const QString text = parts.join(QStringLiteral(" · "));
    if (text != status_->text()) {
        status_->setText(text);
    }
    status_->setVisible(!text.isEmpty());
}

void WeekRows::apply(const WorkingWeek& week) {
    if (week != store_.week()) {
        store_.setWeek(week);
        store_.saveSettings();
    }
}

}  // namespace orvelle
