#include "views/ContentView.h"

#include <QRegularExpression>

#include <gtest/gtest.h>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QTimeEdit>

#include "engine/PreferenceKeys.h"
#include "fakes/SettingsPageFixture.h"
#include "views/AmountFormat.h"
#include "views/PayIntervalLine.h"

namespace orvelle {
namespace {

class ContentViewTest : public test::SettingsPageFixture {};

TEST_F(ContentViewTest, ModeEndTimeAndWorkingDaysSaveOnEveryChange) {
    EXPECT_FALSE(find("workingDaysRow")->isVisible());
    click("monthlySegment");
    EXPECT_EQ(harness.preferences.text(keys::mode), "monthly");
    EXPECT_TRUE(find("workingDaysRow")->isVisible());
    const auto labels = view.findChildren<QLabel*>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(),
                            [](QLabel* label) { return label->text() == "月薪（元）"; }));
    find<QTimeEdit>("endTime")->setTime(QTime(17, 30));
    EXPECT_EQ(harness.preferences.integer(keys::scheduleEndMin), 1050);
    click("daysUp");
    EXPECT_EQ(harness.preferences.number(keys::workingDays), 22.0);
    EXPECT_EQ(text("workingDaysValue"), "22.00 天");
    harness.store->setWorkingDaysPerMonth(31);
    const int writes = harness.preferences.writeCount();
    click("daysUp");
    EXPECT_EQ(harness.store->workingDaysPerMonth(), 31);
    EXPECT_EQ(harness.preferences.writeCount(), writes);  // at the bound nothing changes
}

// Typing saves nothing; Return in the amount field saves it, Return elsewhere presses start,
// which saves the typed amount first; stopping saves nothing, and saving waits until then.
TEST_F(ContentViewTest, OnlyReturnStartAndSaveWriteTheAmount) {
    type("1,234.5");
    EXPECT_EQ(harness.store->amountText(), "1,234.5");
    EXPECT_FALSE(harness.preferences.contains(keys::amount));
    QTest::keyClick(find("amountField"), Qt::Key_Return);
    EXPECT_EQ(harness.preferences.number(keys::amount), 1234.5);
    EXPECT_FALSE(harness.store->isWorking());
    type("8,000");
    QTest::keyClick(find("endTime"), Qt::Key_Return);
    settle();
    EXPECT_TRUE(harness.preferences.contains(keys::sessionStart));
    EXPECT_EQ(harness.preferences.number(keys::amount), 8000);
    EXPECT_EQ(find<QPushButton>("startStopButton")->text(), "结束上班");
    EXPECT_FALSE(find("saveButton")->isEnabled());
    type("9000");
    click("startStopButton");
    EXPECT_FALSE(harness.preferences.contains(keys::sessionStart));
    EXPECT_EQ(harness.preferences.number(keys::amount), 8000);
    EXPECT_EQ(find<QPushButton>("startStopButton")->text(), "开始上班");
    click("saveButton");
    EXPECT_EQ(harness.preferences.number(keys::amount), 9000);
    // Text that is no number is said to count as 0, only while it stands there.
    for (const auto& [text, said] : {std::pair{"12abc", true}, {"0x1f4", false}}) {
        type(text);
        settle();
        EXPECT_EQ(find("amountHint")->isVisible(), said) << text;
    }
}

TEST_F(ContentViewTest, PayIntervalLineShowsHoursAndPayPerSecond) {
    EXPECT_EQ(text("payIntervalLine").toStdString(), kPayIntervalHint);
    const std::tuple<SalaryMode, const char*, int, const char*> rows[] = {
        {SalaryMode::daily, "500", 18 * 60, "计薪区间约 9.00 小时 · 约 0.0154 元/秒"},
        {SalaryMode::monthly, "8,000", 17 * 60 + 30, "计薪区间约 8.50 小时 · 约 0.0120 元/秒"}};
    for (const auto& [mode, amount, end, line] : rows) {
        harness.store->setMode(mode);
        harness.store->setAmountText(amount);
        harness.store->setScheduleEndMinutes(end);
        harness.store->startWork();
        settle();
        EXPECT_EQ(text("payIntervalLine"), line);
    }
    harness.store->setPrivacy(true);  // the money is masked, the hours are not
    settle();
    EXPECT_EQ(text("payIntervalLine"), "计薪区间约 8.50 小时 · 约 •.•••• 元/秒");
    EXPECT_FALSE(text("earnedAmount").contains(QRegularExpression("[0-9]")));
}

TEST_F(ContentViewTest, EarnedAmountStaysOnOneLineAndLongTextsWrap) {
    harness.store->startWork();
    harness.clock.advance(16200);
    harness.scheduler.tick();
    settle();
    EXPECT_EQ(text("earnedAmount"), "250.00 元");
    harness.store->setAmountText("9999999999999");
    harness.scheduler.tick();
    view.resize(320, 420);
    settle();
    QLabel* amount = find<QLabel>("earnedAmount");
    const QWidget* line = find<QScrollArea>("earnedScroll")->viewport();
    EXPECT_GT(amount->width(), line->width());        // scrolls sideways
    EXPECT_LE(amount->height(), line->height() + 2);  // rather than wrapping
    for (const char* name : {"tip", "payIntervalLine"}) {
        QLabel* label = find<QLabel>(name);
        EXPECT_TRUE(QTest::qWaitFor([label] {
            return label->height() >= label->heightForWidth(label->width());
        })) << name;
        EXPECT_GT(label->height(), 2 * label->fontMetrics().height()) << name;
    }
}

// Off screen the page does nothing for the store; brought back it shows the present at once,
// before its first paint and without waiting for the next turn of the event loop.
TEST_F(ContentViewTest, HiddenOrMinimisedPageCatchesUpWhenShownAgain) {
    harness.store->startWork();
    settle();
    const std::pair<void (QWidget::*)(), void (QWidget::*)()> offAndOn[] = {
        {&QWidget::hide, &QWidget::show}, {&QWidget::showMinimized, &QWidget::showNormal}};
    for (const auto& [off, on] : offAndOn) {
        const QString before = text("earnedAmount");
        (view.*off)();
        settle();
        harness.clock.advance(3600);  // an hour at 500 a day over nine hours
        harness.scheduler.tick();
        settle();
        EXPECT_EQ(text("earnedAmount"), before);
        (view.*on)();
        EXPECT_EQ(
            text("earnedAmount"),
            QString::fromStdString(formattedAmount(harness.store->earnedTodayDisplay()) + " 元"));
        EXPECT_NE(text("earnedAmount"), before);
    }
}

}  // namespace
}  // namespace orvelle
