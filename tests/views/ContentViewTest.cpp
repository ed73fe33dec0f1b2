#include "views/ContentView.h"

#include <gtest/gtest.h>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QTimeEdit>
#include <QToolButton>

#include "engine/PreferenceKeys.h"
#include "fakes/StoreHarness.h"

namespace orvelle {
namespace {

using test::StoreHarness;

class ContentViewTest : public ::testing::Test {
protected:
    ContentViewTest() {
        harness.setLocal({2026, 3, 2, 9, 0});
        harness.launch();
        view = std::make_unique<ContentView>(*harness.store);
        view->resize(460, 420);
        view->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    }

    template <typename T>
    T* find(const char* name) {
        T* widget = view->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    // Lets the page catch up with the store's announcements.
    void settle() { QCoreApplication::processEvents(); }

    QString text(const char* label) { return find<QLabel>(label)->text(); }
    void click(const char* button) {
        QTest::mouseClick(find<QAbstractButton>(button), Qt::LeftButton);
    }

    StoreHarness harness;
    std::unique_ptr<ContentView> view;
};

TEST_F(ContentViewTest, WorkingDaysRowAndAmountLabelFollowTheMode) {
    EXPECT_FALSE(find<QWidget>("workingDaysRow")->isVisible());
    EXPECT_NE(view->findChild<QLabel*>(QString(), Qt::FindChildrenRecursively), nullptr);
    const auto labels = view->findChildren<QLabel*>();
    const auto hasLabel = [&](const QString& t) {
        return std::any_of(labels.begin(), labels.end(), [&](QLabel* l) { return l->text() == t; });
    };
    EXPECT_TRUE(hasLabel("日薪（元）"));
    click("monthlySegment");
    settle();
    EXPECT_TRUE(find<QWidget>("workingDaysRow")->isVisible());
    EXPECT_TRUE(hasLabel("月薪（元）"));
    EXPECT_EQ(harness.preferences.text(keys::mode), "monthly");
    EXPECT_EQ(text("workingDaysValue"), "21.75 天");
}

TEST_F(ContentViewTest, TypingSavesNothingUntilReturn) {
    QLineEdit* field = find<QLineEdit>("amountField");
    EXPECT_EQ(field->placeholderText(), "例如 500");
    field->selectAll();
    QTest::keyClicks(field, "1,234.5");
    EXPECT_EQ(harness.store->amountText(), "1,234.5");
    EXPECT_FALSE(harness.preferences.contains(keys::amount));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(harness.preferences.number(keys::amount), 1234.5);
    EXPECT_FALSE(harness.store->isWorking());  // Return in the field only submits it
}

TEST_F(ContentViewTest, StartSavesTheTypedAmountFirstAndStopSavesNothing) {
    QLineEdit* field = find<QLineEdit>("amountField");
    field->selectAll();
    QTest::keyClicks(field, "8,000");
    click("startStopButton");
    settle();
    EXPECT_EQ(harness.preferences.number(keys::amount), 8000);
    EXPECT_TRUE(harness.preferences.contains(keys::sessionStart));
    EXPECT_EQ(find<QPushButton>("startStopButton")->text(), "结束上班");
    EXPECT_FALSE(find<QPushButton>("saveButton")->isEnabled());
    EXPECT_TRUE(field->isEnabled());

    field->selectAll();
    QTest::keyClicks(field, "9000");
    click("startStopButton");
    settle();
    EXPECT_FALSE(harness.preferences.contains(keys::sessionStart));
    EXPECT_EQ(harness.preferences.number(keys::amount), 8000);
    EXPECT_EQ(find<QPushButton>("startStopButton")->text(), "开始上班");
    EXPECT_TRUE(find<QPushButton>("saveButton")->isEnabled());
    click("saveButton");
    EXPECT_EQ(harness.preferences.number(keys::amount), 9000);
}

TEST_F(ContentViewTest, ReturnOnThePageActivatesStartStop) {
    find<QTimeEdit>("endTime")->setFocus();
    QTest::keyClick(find<QTimeEdit>("endTime"), Qt::Key_Return);
    EXPECT_TRUE(harness.store->isWorking());
}

TEST_F(ContentViewTest, EndTimeAndWorkingDaysSaveOnEveryChange) {
    find<QTimeEdit>("endTime")->setTime(QTime(17, 30));
    EXPECT_EQ(harness.preferences.integer(keys::scheduleEndMin), 1050);
    click("monthlySegment");
    settle();
    click("daysUp");
    settle();
    EXPECT_EQ(harness.preferences.number(keys::workingDays), 22.0);
    EXPECT_EQ(text("workingDaysValue"), "22.00 天");
    harness.store->setWorkingDaysPerMonth(31);
    const int writes = harness.preferences.writeCount();
    click("daysUp");
    EXPECT_EQ(harness.store->workingDaysPerMonth(), 31);
    EXPECT_EQ(harness.preferences.writeCount(), writes);  // at the bound nothing changes
}

TEST_F(ContentViewTest, PayIntervalLineShowsHoursAndPayPerSecond) {
    EXPECT_EQ(text("payIntervalLine"),
              "点击「开始上班」后，按本次打卡至预计下班时间计薪；再次开始会重新从 0 计。");
    struct Row {
        SalaryMode mode;
        const char* amount;
        double days;
        const char* line;
    };
    for (const Row& row :
         {Row{SalaryMode::daily, "500", 3, "计薪区间约 9.00 小时 · 约 0.0154 元/秒"},
          Row{SalaryMode::monthly, "8,000", 21.75, "计薪区间约 9.00 小时 · 约 0.0114 元/秒"},
          Row{SalaryMode::monthly, "8000", 0, "计薪区间约 9.00 小时 · 约 24.6914 元/秒"},
          Row{SalaryMode::daily, "abc", 1, "计薪区间约 9.00 小时 · 约 0.0000 元/秒"},
          Row{SalaryMode::monthly, "-100", 1, "计薪区间约 9.00 小时 · 约 0.0000 元/秒"}}) {
        harness.store->setMode(row.mode);
        harness.store->setAmountText(row.amount);
        harness.store->setWorkingDaysPerMonth(row.days);
        harness.store->startWork();
        settle();
        EXPECT_EQ(text("payIntervalLine"), row.line);
    }
}

TEST_F(ContentViewTest, AmountShowsWhatTheStoreEarned) {
    harness.store->startWork();
    harness.clock.advance(16200);
    harness.scheduler.tick();
    settle();
    EXPECT_EQ(text("earnedAmount"), "250.00 元");
}

TEST_F(ContentViewTest, LongTextsWrapAndAWideAmountScrollsSideways) {
    harness.store->setAmountText("9999999999999");
    harness.store->startWork();
    harness.clock.advance(30000);
    harness.scheduler.tick();
    view->resize(320, 420);
    settle();
    QLabel* amount = find<QLabel>("earnedAmount");
    QScrollArea* line = find<QScrollArea>("earnedScroll");
    EXPECT_GT(amount->width(), line->viewport()->width());
    EXPECT_LE(amount->height(), line->viewport()->height() + 2);  // one line, not wrapped
    for (const char* name : {"tip", "payIntervalLine"}) {
        QLabel* label = find<QLabel>(name);
        EXPECT_TRUE(label->wordWrap());
        EXPECT_GE(label->height(), label->heightForWidth(label->width())) << name;
        EXPECT_GT(label->height(), 2 * label->fontMetrics().height()) << name;
    }
}

}  // namespace
}  // namespace orvelle
