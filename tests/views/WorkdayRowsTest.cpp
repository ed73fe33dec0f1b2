#include "views/WorkdayRows.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <QTimeEdit>

#include "engine/PreferenceKeys.h"
#include "fakes/SettingsPageFixture.h"

namespace orvelle {
namespace {

// The working-day rows inside the settings page, on a store of fakes at 09:00.
class WorkdayRowsTest : public test::SettingsPageFixture {
protected:
    WorkdayRowsTest() { click("pageWorkday"); }
    const WorkdayRules& rules() { return harness.store->workday(); }
};

TEST_F(WorkdayRowsTest, TheBreakIsSavedOrRefusedWithAHint) {
    EXPECT_FALSE(harness.preferences.contains(keys::breakEnabled));
    EXPECT_FALSE(find("breakStart")->isEnabled());
    find<QCheckBox>("breakEnabled")->click();
    EXPECT_TRUE(rules().breakEnabled);
    EXPECT_EQ(harness.preferences.flag(keys::breakEnabled), true);
    EXPECT_TRUE(find("breakStart")->isEnabled());

    struct Refusal {
        int startHour, endHour;
        const char* hint;
    };
    for (const Refusal& r : {Refusal{12, 11, "午休结束须晚于开始，未保存"},
                             Refusal{17, 19, "午休不能包含下班时间，未保存"}}) {
        setTime("breakStart", r.startHour);
        setTime("breakEnd", r.endHour);
        QLabel* hint = find<QLabel>("breakHint");
        EXPECT_TRUE(hint->isVisible()) << r.hint;
        EXPECT_EQ(hint->text(), r.hint);
        EXPECT_EQ(rules().breakStartMinutes, 12 * 60) << r.hint;  // never stored
        EXPECT_EQ(harness.preferences.contains(keys::breakStartMin), false) << r.hint;
        setTime("breakStart", 12);
        setTime("breakEnd", 13);
        EXPECT_FALSE(hint->isVisible());
    }
    setTime("breakStart", 11, 30);
    EXPECT_EQ(harness.preferences.integer(keys::breakStartMin), 690);

    harness.store->startWork();
    click("pageSalary");
    // 09:00 to 18:00 less 11:30 to 13:00: 7.5 paid hours at 500 a day.
    EXPECT_EQ(find<QLabel>("payIntervalLine")->text(),
              "计薪区间约 7.50 小时（不含午休） · 约 0.0185 元/秒");

    // The end of work moved into the break: the stored break stays, and the pay ignores it.
    harness.store->setScheduleEndMinutes(13 * 60);
    harness.store->saveSettings();
    settle();
    EXPECT_EQ(find<QLabel>("breakHint")->text(), "午休包含下班时间，暂不扣除");
    EXPECT_EQ(find<QLabel>("payIntervalLine")->text(), "计薪区间约 4.00 小时 · 约 0.0347 元/秒");
}

TEST_F(WorkdayRowsTest, AfterEndChoicesAndTheNoticeAreSaved) {
    auto* afterEnd = find<QComboBox>("afterEnd");
    auto* rate = find<QComboBox>("overtimeRate");
    EXPECT_EQ(afterEnd->currentText(), "继续计薪");
    EXPECT_FALSE(rate->isVisible());
    QTest::keyClick(afterEnd, Qt::Key_Down);
    EXPECT_EQ(harness.preferences.text(keys::afterEnd), "stop");
    QTest::keyClick(afterEnd, Qt::Key_Down);
    EXPECT_EQ(rules().afterEnd, AfterEnd::overtime);
    EXPECT_TRUE(rate->isVisible());
    EXPECT_EQ(rate->currentText(), "1.5×");
    QTest::keyClick(rate, Qt::Key_Down);
    EXPECT_EQ(harness.preferences.number(keys::overtimeRate), 2.0);
    EXPECT_FALSE(harness.preferences.contains(keys::endNotice));
    find<QCheckBox>("endNotice")->click();
    EXPECT_EQ(harness.preferences.flag(keys::endNotice), true);
    WorkdayRules stored = rules();
    stored.afterEnd = AfterEnd::keepPaying;
    harness.store->setWorkday(stored);  // the rows follow the store
    EXPECT_EQ(afterEnd->currentText(), "继续计薪");
    EXPECT_FALSE(rate->isVisible());
}

}  // namespace
}  // namespace orvelle
