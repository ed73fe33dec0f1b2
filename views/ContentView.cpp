#include "views/ContentView.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTimeEdit>
#include <QToolButton>

#include "engine/AmountText.h"
#include "engine/WorkToggle.h"
#include "views/AccessibleRoles.h"
#include "views/AmountFormat.h"
#include "views/CardFrame.h"
#include "views/Fonts.h"
#include "views/OnScreenWatch.h"
#include "views/Palette.h"
#include "views/PayIntervalLine.h"
#include "views/ShownAmount.h"
#include "views/Styles.h"

namespace orvelle {

namespace {

constexpr double kDaysStep = 0.25;
constexpr double kFewestDays = 1;
constexpr double kMostDays = 31;
constexpr int kCaptionPixels = 12;
constexpr int kSubheadlinePixels = 13;

const char* const kTip =
    "提示：每次点击「开始上班」都会从 0 重新计本段收入，并以该次打卡与预计下班时间组成计薪区间；"
    "若同日下班早于该时刻则顺延到次日同一时刻。跨自然日会清零。退出后若在上班中，"
    "下次打开会继续本段计时。";

bool isReturn(QEvent* event) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

QScrollArea* transparentScrollArea(QWidget* content) {
    auto* area = new QScrollArea;
    area->setWidget(content);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    area->setStyleSheet("QScrollArea { background: transparent; }");
    area->viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);
    // Not a stop of its own for Tab, which would be a nameless one for screen readers: the page
    // scrolls to each control that Tab reaches, and the amount is read from its label.
    area->setFocusPolicy(Qt::NoFocus);
    return area;
}

QLabel* wrappingCaption(const QString& text) {
    QLabel* caption = styles::label(text, viewFont(kCaptionPixels), palette::plum);
    caption->setWordWrap(true);
    caption->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return caption;
}

}  // namespace

ContentView::ContentView(SalaryStore& store, QWidget* parent) : QWidget(parent), store_(store) {
    setStyleSheet(styles::textField());
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    QScrollArea* scroll = transparentScrollArea(buildPage());
    scroll->setObjectName("pageScroll");
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    root->addWidget(scroll);
    new OnScreenWatch(*this, [this] { catchUp(); });
    subscription_ = store_.subscribe([this](StoreProperty) { scheduleRefresh(); });
    refresh();
}

QWidget* ContentView::buildPage() {
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(16, 16, 16, 16);
    column->setSpacing(16);
    column->addWidget(styles::label("Orvelle", viewFont(36, QFont::Bold), palette::accentRose));
    column->addWidget(buildSettingsCard());
    column->addWidget(buildIncomeCard());
    column->addWidget(buildButtonRow());
    column->addWidget(buildTipCard());
    column->addStretch(1);
    return page;
}

QWidget* ContentView::buildSettingsCard() {
    auto* card = new CardFrame(12);
    card->content()->addWidget(
        styles::label("薪酬设置", viewFont(24, QFont::DemiBold), palette::sectionPink));
    card->content()->addWidget(buildModeRow());

    auto* amountRow = new QHBoxLayout;
    amountLabel_ = styles::label({}, viewFont(14), palette::plum);
    amountField_ = new QLineEdit;
    amountField_->setObjectName("amountField");
    amountField_->setPlaceholderText("例如 500");
    amountField_->setFont(viewFont(14));
    connect(amountField_, &QLineEdit::textEdited, this,
            [this](const QString& text) { store_.setAmountText(text.toStdString()); });
    amountField_->installEventFilter(this);
    amountRow->addWidget(amountLabel_);
    amountRow->addWidget(amountField_, 1);
    card->content()->addLayout(amountRow);
    // Said only while the field holds text that is no number, so the designed page is unchanged
    // otherwise; what is saved stays as it was (such text is worth 0).
    amountHint_ = wrappingCaption(QStringLiteral("不是有效的金额，按 0 计算"));
    amountHint_->setObjectName("amountHint");
    amountHint_->hide();
    card->content()->addWidget(amountHint_);

    auto* endRow = new QHBoxLayout;
    endTime_ = new QTimeEdit;
    endTime_->setObjectName("endTime");
    endTime_->setDisplayFormat("HH:mm");
    endTime_->setFont(viewFont(14));
    endTime_->setAccessibleName(QStringLiteral("预计下班时间"));
    connect(endTime_, &QTimeEdit::timeChanged, this, [this] { changeEndTime(); });
    endRow->addWidget(styles::label("预计下班时间", viewFont(14), palette::plum));
    endRow->addWidget(endTime_);
    endRow->addStretch(1);
    card->content()->addLayout(endRow);

    card->content()->addWidget(buildDaysRow());
    return card;
}

QWidget* ContentView::buildModeRow() {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(styles::label("计薪方式", viewFont(14), palette::plum));
    layout->addSpacing(10);
    modeGroup_ = new QButtonGroup(this);
    for (const SalaryMode mode : kAllSalaryModes) {
        const bool daily = mode == SalaryMode::daily;
        auto* segment = new QPushButton(daily ? "日薪" : "月薪");
        segment->setObjectName(daily ? "dailySegment" : "monthlySegment");
        segment->setCheckable(true);
        segment->setFont(viewFont(14));
        segment->setStyleSheet(styles::segmentedButton(daily, !daily));
        segment->setAccessibleDescription(QStringLiteral("计薪方式"));
        exposeSegment(*segment, SegmentRole::radioButton);
        modeGroup_->addButton(segment, static_cast<int>(mode));
        layout->addWidget(segment);
    }
    layout->addStretch(1);
    connect(modeGroup_, &QButtonGroup::idClicked, this,
            [this](int id) { chooseMode(static_cast<SalaryMode>(id)); });
    return row;
}

QWidget* ContentView::buildDaysRow() {
    daysRow_ = new QWidget;
    daysRow_->setObjectName("workingDaysRow");
    auto* layout = new QHBoxLayout(daysRow_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(styles::label("月计薪日", viewFont(14), palette::plum));
    daysValue_ = styles::label({}, viewFont(14), Qt::black);
    daysValue_->setObjectName("workingDaysValue");
    layout->addWidget(daysValue_);
    for (const auto& [name, spoken, arrow, step] :
         {std::tuple{"daysDown", "减少月计薪日", Qt::DownArrow, -kDaysStep},
          std::tuple{"daysUp", "增加月计薪日", Qt::UpArrow, kDaysStep}}) {
        auto* button = new QToolButton;
        button->setObjectName(name);
        button->setAccessibleName(QString::fromUtf8(spoken));
        button->setArrowType(arrow);
        button->setAutoRepeat(true);
        button->setStyleSheet(styles::stepperButton());
        connect(button, &QToolButton::clicked, this,
                [this, step = step] { stepWorkingDays(step); });
        layout->addWidget(button);
    }
    layout->addStretch(1);
    return daysRow_;
}

QWidget* ContentView::buildIncomeCard() {
    auto* card = new CardFrame(8);
    card->content()->addWidget(
        styles::label("本段收入", viewFont(24, QFont::DemiBold), palette::sectionPink));
    auto* column = new QVBoxLayout;
    column->setSpacing(6);
    column->addWidget(styles::label("本次已累计赚到", viewFont(kSubheadlinePixels), palette::plum));
    earned_ = styles::label({}, viewFont(54, QFont::Bold), palette::accentRose);
    earned_->setObjectName("earnedAmount");
    earned_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Too wide an amount scrolls sideways instead of wrapping or shrinking.
    QScrollArea* line = transparentScrollArea(earned_);
    line->setObjectName("earnedScroll");
    line->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    line->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    line->setWidgetResizable(false);
    line->setFixedHeight(earned_->sizeHint().height() + 4);
    column->addWidget(line);
    payInterval_ = wrappingCaption({});
    payInterval_->setObjectName("payIntervalLine");
    column->addWidget(payInterval_);
    card->content()->addLayout(column);
    return card;
}

QWidget* ContentView::buildButtonRow() {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    startStop_ = new QPushButton;
    startStop_->setObjectName("startStopButton");
    startStop_->setStyleSheet(styles::prominentButton());
    startStop_->setFont(viewFont(15, QFont::DemiBold));
    connect(startStop_, &QPushButton::clicked, this, [this] { startOrStopWork(store_); });
    save_ = new QPushButton("保存设置");
    save_->setObjectName("saveButton");
    save_->setFont(viewFont(14));
    save_->setStyleSheet(styles::borderedButton());
    connect(save_, &QPushButton::clicked, this, [this] { store_.saveSettings(); });
    layout->addWidget(startStop_);
    layout->addWidget(save_);
    layout->addStretch(1);
    return row;
}

QWidget* ContentView::buildTipCard() {
    auto* card = new CardFrame(0);
    QLabel* tip = wrappingCaption(QString::fromUtf8(kTip));
    tip->setObjectName("tip");
    card->content()->addWidget(tip);
    return card;
}

void ContentView::scheduleRefresh() {
    if (!OnScreenWatch::canBeSeen(*this)) {
        behind_ = true;
        return;
    }
    if (refreshPending_) {
        return;
    }
    refreshPending_ = true;
    QMetaObject::invokeMethod(
        this, [this] { refresh(); }, Qt::QueuedConnection);
}

void ContentView::catchUp() {
    if (behind_) {
        refresh();
    }
}

void ContentView::refresh() {
    refreshPending_ = false;
    behind_ = false;
    const bool monthly = store_.mode() == SalaryMode::monthly;
    const QSignalBlocker blockMode(modeGroup_);
    modeGroup_->button(static_cast<int>(store_.mode()))->setChecked(true);
    amountLabel_->setText(monthly ? "月薪（元）" : "日薪（元）");
    if (amountField_->accessibleName() != amountLabel_->text()) {
        amountField_->setAccessibleName(amountLabel_->text());  // read with the field it names
    }
    // Hidden amounts hide the salary too, except while the user edits it; the mask is only shown,
    // never stored, as only the user's own edits reach the store.
    const QString amount = store_.privacy() && !amountField_->hasFocus()
                               ? QString::fromUtf8(kMaskedAmount.data(), kMaskedAmount.size())
                               : QString::fromStdString(store_.amountText());
    if (amountField_->text() != amount) {
        amountField_->setText(amount);
    }
    amountHint_->setVisible(!store_.amountText().empty() && !parseAmount(store_.amountText()));
    // Controls are only written when they differ, so that a refresh 20 times a second never
    // disturbs what the user is typing into them.
    const int end = store_.scheduleEndMinutes();
    if (const QTime time(end / 60, end % 60); endTime_->time() != time) {
        const QSignalBlocker blockTime(endTime_);
        endTime_->setTime(time);
    }
    daysRow_->setVisible(monthly);
    daysValue_->setText(
        QString::fromStdString(formatFixed(store_.workingDaysPerMonth(), 2) + " 天"));
    earned_->setText(QString::fromStdString(shownAmount(store_) + " 元"));
    earned_->adjustSize();
    payInterval_->setText(QString::fromStdString(payIntervalLine(store_)));
    startStop_->setText(store_.isWorking() ? "结束上班" : "开始上班");
    save_->setEnabled(!store_.isWorking());
}

void ContentView::chooseMode(SalaryMode mode) {
    if (store_.mode() == mode) {
        return;
    }
    store_.setMode(mode);
    store_.saveSettings();
}

void ContentView::changeEndTime() {
    const QTime time = endTime_->time();
    if (time.hour() * 60 + time.minute() == store_.scheduleEndMinutes()) {
        return;
    }
    store_.setScheduleEndMinutes(time.hour() * 60 + time.minute());
    store_.saveSettings();
}

void ContentView::stepWorkingDays(double step) {
    const double current = store_.workingDaysPerMonth();
    const double next = std::clamp(current + step, kFewestDays, kMostDays);
    if (next == current) {
        return;
    }
    store_.setWorkingDaysPerMonth(next);
    store_.saveSettings();
}

// Return in the amount field submits it, which saves the settings, and nothing more.
bool ContentView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == amountField_ && event->type() == QEvent::KeyPress && isReturn(event)) {
        store_.saveSettings();
        return true;
    }
    if (watched == amountField_ &&
        (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        refresh();  // the salary in clear while edited, masked again after
    }
    return QWidget::eventFilter(watched, event);
}

// Return anywhere else on the page activates the start/stop button, as a default button does.
void ContentView::keyPressEvent(QKeyEvent* event) {
    if (isReturn(event)) {
        startStop_->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ContentView::paintEvent(QPaintEvent*) {
    styles::paintPageBackground(*this);
}

}  // namespace orvelle
