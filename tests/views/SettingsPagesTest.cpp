#include "views/SettingsPages.h"

#include <gtest/gtest.h>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QTimeEdit>

#include "engine/PreferenceKeys.h"
#include "fakes/StoreHarness.h"
#include "views/AmountFormat.h"
#include "views/ContentView.h"
#include "views/DesktopCard.h"
#include "views/PayIntervalLine.h"

namespace orvelle {
namespace {

// An autostart entry that lives in memory, starts switched on and can be made to fail.
struct FakeDesktop {
    bool enabled = true;
    std::string failure;
    int resets = 0;

    DesktopActions actions() {
        return {[this] { return enabled; },
                [this](bool on) {
                    enabled = failure.empty() ? on : enabled;
                    return failure;
                },
                [this] { ++resets; }};
    }
};

// The settings window's pages on a store of fakes at 09:00, driven through their real widgets; it
// opens on the salary page, the designed one.
class SettingsPageFixture : public ::testing::Test {
protected:
    // Offers the fake desktop's actions only when `withDesktop`: they widen the window.
    explicit SettingsPageFixture(bool withDesktop = false) : withDesktop_(withDesktop) {
        view.resize(460, 420);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    template <typename T = QWidget>
    T* find(const char* name) {
        T* widget = view.findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    // Lets the page catch up with the store's announcements.
    void settle() { QCoreApplication::processEvents(); }
    QString text(const char* label) { return find<QLabel>(label)->text(); }
    void click(const char* button) {
        QTest::mouseClick(find<QAbstractButton>(button), Qt::LeftButton);
        settle();
    }
    void type(const char* amount) {
        find<QLineEdit>("amountField")->selectAll();
        QTest::keyClicks(find<QLineEdit>("amountField"), amount);
    }
    void setTime(const char* field, int hour, int minute = 0) {
        find<QTimeEdit>(field)->setTime(QTime(hour, minute));
    }

    const bool withDesktop_;
    test::StoreHarness harness;
    FakeDesktop desktop;
    SettingsPages view{harness.launchAt({2026, 3, 2, 9, 0}),
                       withDesktop_ ? desktop.actions() : DesktopActions{}};
};

// The salary page's tests; without the desktop actions the window can be made narrow enough for
// its long texts to wrap.
using ContentViewTest = SettingsPageFixture;

TEST_F(ContentViewTest, ModeEndTimeAndWorkingDaysSaveOnEveryChange) {
    EXPECT_FALSE(find("workingDaysRow")->isVisible());
    click("monthlySegment");
    EXPECT_EQ(harness.preferences.text(keys::mode), "monthly");
    EXPECT_TRUE(find("workingDaysRow")->isVisible());
    setTime("endTime", 17, 30);
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
    EXPECT_EQ(harness.preferences.number(keys::amount), 8000);
    EXPECT_EQ(find<QPushButton>("startStopButton")->text(), "结束上班");
    EXPECT_FALSE(find("saveButton")->isEnabled());
    type("9000");
    click("startStopButton");
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

TEST_F(ContentViewTest, EarnedAmountStaysOnOneLineAndLongTextsWrap) {
    harness.store->startWork();
    harness.tickAfter(16200);
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
        harness.tickAfter(3600);  // an hour at 500 a day over nine hours
        settle();
        EXPECT_EQ(text("earnedAmount"), before);
        (view.*on)();
        EXPECT_EQ(
            text("earnedAmount"),
            QString::fromStdString(formattedAmount(harness.store->earnedTodayDisplay()) + " 元"));
    }
}

// The pages with the desktop actions on offer, which widen the window.
class SettingsPagesTest : public SettingsPageFixture {
protected:
    SettingsPagesTest() : SettingsPageFixture(true) {}
};

// The window opens on the designed page, which holds none of the additions; each addition is on
// its own page, reached by its button; Return on a page button still starts work.
TEST_F(SettingsPagesTest, OpensOnTheDesignedPageAndKeepsEachAdditionOnItsOwn) {
    auto* salary = view.findChild<ContentView*>();
    ASSERT_NE(salary, nullptr);
    EXPECT_TRUE(salary->isVisible());
    for (const char* addition : {"breakEnabled", "afterEnd", "privacy", "capsuleScale"}) {
        EXPECT_EQ(salary->findChild<QWidget*>(addition), nullptr) << addition;
    }
    for (const auto& [button, shows] :
         {std::pair{"pageWorkday", "breakEnabled"}, {"pageCapsule", "privacy"}}) {
        click(button);
        EXPECT_TRUE(find(shows)->isVisible()) << button;
        EXPECT_FALSE(salary->isVisible()) << button;
    }
    click("pageSalary");
    EXPECT_TRUE(salary->isVisible());
    QTest::keyClick(find("pageSalary"), Qt::Key_Return);
    EXPECT_TRUE(harness.store->isWorking());
}

QAccessibleInterface* spoken(QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget);
}

// Every control that Tab reaches, on every page, has a name a screen reader reads. The pay modes
// read as radio buttons and the page buttons as tabs, each saying which one is chosen, and a
// screen reader's press chooses.
TEST_F(SettingsPagesTest, NamesEveryControlForScreenReaders) {
    for (const char* page : {"pageWorkday", "pageCapsule", "pageSalary"}) {
        click(page);
        for (QWidget* control : view.findChildren<QWidget*>()) {
            const bool inSpinBox = qobject_cast<QAbstractSpinBox*>(control->parent()) != nullptr;
            if ((control->focusPolicy() & Qt::TabFocus) && control->isVisible() && !inSpinBox) {
                EXPECT_FALSE(spoken(control)->text(QAccessible::Name).isEmpty())
                    << page << " " << control->metaObject()->className() << " "
                    << control->objectName().toStdString();
            }
        }
    }
    const std::tuple<const char*, QAccessible::Role, const char*, bool> segments[] = {
        {"dailySegment", QAccessible::RadioButton, "日薪", true},
        {"monthlySegment", QAccessible::RadioButton, "月薪", false},
        {"pageSalary", QAccessible::PageTab, "薪资页", true},
        {"pageCapsule", QAccessible::PageTab, "胶囊页", false}};
    for (const auto& [name, role, spokenName, chosen] : segments) {
        QAccessibleInterface* control = spoken(find(name));
        EXPECT_EQ(control->role(), role) << name;
        EXPECT_EQ(control->text(QAccessible::Name), spokenName);
        EXPECT_EQ(control->state().checked || control->state().selected, chosen) << name;
    }
    spoken(find("monthlySegment"))
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::pressAction());
    settle();
    EXPECT_EQ(harness.store->mode(), SalaryMode::monthly);
    EXPECT_TRUE(spoken(find("monthlySegment"))->state().checked);
    EXPECT_EQ(spoken(find("amountField"))->text(QAccessible::Name), "月薪（元）");
}

// A focused segment, chosen or not, wears a ring that stands out from its unfocused look; from
// there, Tab alone reaches the start button, and space presses it.
TEST_F(SettingsPagesTest, FocusedSegmentsWearAVisibleRingAndTabReachesStart) {
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    for (const char* name : {"dailySegment", "monthlySegment", "pageSalary", "pageWorkday"}) {
        QWidget* segment = find(name);
        segment->clearFocus();
        const QImage plain = segment->grab().toImage();
        segment->setFocus();
        ASSERT_TRUE(segment->hasFocus()) << name;
        const QImage focused = segment->grab().toImage();
        const QPoint edge(1, plain.height() / 2);  // inside the plain border, on the ring
        const QColor a = plain.pixelColor(edge), b = focused.pixelColor(edge);
        EXPECT_GT(std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                            std::abs(a.blue() - b.blue())}),
                  100)
            << name;
    }
    QWidget* start = find("startStopButton");
    for (int tabs = 0; tabs < 40 && QApplication::focusWidget() != start; ++tabs) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    ASSERT_EQ(QApplication::focusWidget(), start);
    QTest::keyClick(start, Qt::Key_Space);
    EXPECT_TRUE(harness.store->isWorking());
}

// The desktop rows drive the desktop and show what failed; the box shows the entry as it is, not
// the wish, also after a change made elsewhere while the page was away.
TEST_F(SettingsPagesTest, DesktopRowsDriveTheDesktopAndShowWhatFailed) {
    click("pageCapsule");
    auto* autostart = find<QCheckBox>("autostart");
    EXPECT_TRUE(autostart->isChecked());
    click("autostart");
    EXPECT_FALSE(desktop.enabled);
    desktop.failure = "无法写入自启动项";
    click("autostart");
    EXPECT_FALSE(autostart->isChecked());
    EXPECT_TRUE(find("desktopError")->isVisible());
    EXPECT_EQ(text("desktopError"), "无法写入自启动项");
    click("resetPosition");
    EXPECT_EQ(desktop.resets, 1);
    desktop.enabled = true;  // turned on through the tray
    click("pageSalary");
    click("pageCapsule");
    EXPECT_TRUE(autostart->isChecked());
}

// The capsule rows save each choice at once and follow the store, whoever changed it.
TEST_F(SettingsPagesTest, CapsuleRowsSetTheLookAndFollowTheStore) {
    click("pageCapsule");
    auto* scale = find<QComboBox>("capsuleScale");
    for (auto [box, percent] : {std::pair{scale, 150}, {find<QComboBox>("capsuleOpacity"), 40}}) {
        box->setCurrentIndex(box->findData(percent));
        box->activated(box->currentIndex());  // as a choice from the list does
    }
    EXPECT_EQ(harness.preferences.integer("salary.capsuleScale"), 150);
    EXPECT_EQ(harness.preferences.integer("salary.capsuleOpacity"), 40);
    click("privacy");
    EXPECT_TRUE(harness.store->privacy());
    EXPECT_FALSE(harness.preferences.contains("salary.clickThrough"));  // stored once changed
    click("clickThrough");
    EXPECT_EQ(harness.preferences.flag("salary.clickThrough"), true);
    harness.store->setPrivacy(false);       // a middle click on the capsule, say
    harness.store->setClickThrough(false);  // the tray's item, say
    harness.store->setCapsuleLook(200, 100);
    EXPECT_FALSE(find<QCheckBox>("privacy")->isChecked());
    EXPECT_FALSE(find<QCheckBox>("clickThrough")->isChecked());
    EXPECT_EQ(scale->currentText(), "200 %");
}

TEST_F(SettingsPagesTest, TheBreakIsSavedOrRefusedWithAHint) {
    click("pageWorkday");
    EXPECT_FALSE(harness.preferences.contains(keys::breakEnabled));
    EXPECT_FALSE(find("breakStart")->isEnabled());
    click("breakEnabled");
    EXPECT_EQ(harness.preferences.flag(keys::breakEnabled), true);
    EXPECT_TRUE(find("breakStart")->isEnabled());
    for (const auto& [start, end, hint] : {std::tuple{12, 11, "午休结束须晚于开始，未保存"},
                                           {17, 19, "午休不能包含下班时间，未保存"}}) {
        setTime("breakStart", start);
        setTime("breakEnd", end);
        EXPECT_TRUE(find("breakHint")->isVisible()) << hint;
        EXPECT_EQ(text("breakHint"), hint);
        EXPECT_FALSE(harness.preferences.contains(keys::breakStartMin)) << hint;  // never stored
        setTime("breakStart", 12);
        setTime("breakEnd", 13);
        EXPECT_FALSE(find("breakHint")->isVisible());
    }
    setTime("breakStart", 11, 30);
    EXPECT_EQ(harness.preferences.integer(keys::breakStartMin), 690);

    EXPECT_EQ(text("payIntervalLine").toStdString(), kPayIntervalHint);  // until work starts
    harness.store->startWork();
    click("pageSalary");
    // 09:00 to 18:00 less 11:30 to 13:00: 7.5 paid hours at 500 a day.
    EXPECT_EQ(text("payIntervalLine"), "计薪区间约 7.50 小时（不含午休） · 约 0.0185 元/秒");

    // The end of work moved into the break: the stored break stays, and the pay ignores it.
    harness.store->setScheduleEndMinutes(13 * 60);
    harness.store->saveSettings();
    settle();
    EXPECT_EQ(text("breakHint"), "午休包含下班时间，暂不扣除");
    EXPECT_EQ(text("payIntervalLine"), "计薪区间约 4.00 小时 · 约 0.0347 元/秒");
}

// Each choice after the end of work is saved, the multiplier shows only for overtime, and the rows
// follow the store.
TEST_F(SettingsPagesTest, AfterEndChoicesAndTheNoticeAreSaved) {
    click("pageWorkday");
    auto* afterEnd = find<QComboBox>("afterEnd");
    auto* rate = find<QComboBox>("overtimeRate");
    EXPECT_FALSE(rate->isVisible());
    QTest::keyClick(afterEnd, Qt::Key_Down);
    EXPECT_EQ(harness.preferences.text(keys::afterEnd), "stop");
    QTest::keyClick(afterEnd, Qt::Key_Down);
    EXPECT_EQ(harness.store->workday().afterEnd, AfterEnd::overtime);
    EXPECT_TRUE(rate->isVisible());
    QTest::keyClick(rate, Qt::Key_Down);
    EXPECT_EQ(harness.preferences.number(keys::overtimeRate), 2.0);
    find<QCheckBox>("endNotice")->click();  // a mouse click may miss its text
    EXPECT_EQ(harness.preferences.flag(keys::endNotice), true);
    harness.store->setWorkday({.afterEnd = AfterEnd::keepPaying, .endNotice = true});
    EXPECT_EQ(afterEnd->currentText(), "继续计薪");
    EXPECT_FALSE(rate->isVisible());
}

// The working week is saved at each change; below it, when work starts by itself and the time
// left while a session is open.
TEST_F(SettingsPagesTest, TheWorkingWeekIsSavedAndSaysWhatComesNext) {
    click("pageWorkday");
    EXPECT_FALSE(find<QLabel>("weekStatus")->isVisible());
    for (const char* box : {"overnight", "autoStart", "showCountdown"}) {
        find<QCheckBox>(box)->click();
    }
    click("workday6");
    setTime("autoStartTime", 8, 30);
    EXPECT_EQ(harness.store->week(), (WorkingWeek{true, 0b0111111, true, 8 * 60 + 30, true}));
    EXPECT_EQ(loadWorkingWeek(harness.preferences), harness.store->week());
    EXPECT_EQ(text("weekStatus"), "08:30 自动开始");
    harness.store->startWork();  // at 09:00, nine hours before the end of work
    EXPECT_EQ(text("weekStatus"), "08:30 自动开始 · 距下班 9:00");
}

}  // namespace
}  // namespace orvelle
