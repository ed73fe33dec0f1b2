#include "views/SettingsPages.h"

#include <gtest/gtest.h>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QStackedWidget>

#include "fakes/SettingsPageFixture.h"
#include "views/ContentView.h"

namespace orvelle {
namespace {

using SettingsPagesTest = test::SettingsPageFixture;

// The window opens on the designed page, which holds none of the additions; each addition is on
// its own page, reached by its button; Return on a page button still starts work.
TEST_F(SettingsPagesTest, OpensOnTheDesignedPageAndKeepsEachAdditionOnItsOwn) {
    auto* salary = view.findChild<ContentView*>();
    ASSERT_NE(salary, nullptr);
    EXPECT_TRUE(salary->isVisible());
    for (const char* addition : {"breakEnabled", "afterEnd", "privacy", "capsuleScale"}) {
        EXPECT_EQ(salary->findChild<QWidget*>(addition), nullptr) << addition;
    }
    const struct {
        const char* button;
        const char* shows;
    } pages[] = {{"pageWorkday", "breakEnabled"}, {"pageCapsule", "privacy"}};
    for (const auto& page : pages) {
        click(page.button);
        EXPECT_TRUE(find(page.shows)->isVisible()) << page.button;
        EXPECT_FALSE(salary->isVisible()) << page.button;
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
    const struct {
        const char* control;
        QAccessible::Role role;
        const char* name;
        bool chosen;
    } segments[] = {{"dailySegment", QAccessible::RadioButton, "日薪", true},
                    {"monthlySegment", QAccessible::RadioButton, "月薪", false},
                    {"pageSalary", QAccessible::PageTab, "薪资页", true},
                    {"pageCapsule", QAccessible::PageTab, "胶囊页", false}};
    for (const auto& segment : segments) {
        QAccessibleInterface* control = spoken(find(segment.control));
        EXPECT_EQ(control->role(), segment.role) << segment.control;
        EXPECT_EQ(control->text(QAccessible::Name), segment.name);
        const QAccessible::State state = control->state();
        EXPECT_EQ(state.checked || state.selected, segment.chosen) << segment.control;
    }
    spoken(find("monthlySegment"))
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::pressAction());
    settle();
    EXPECT_EQ(harness.store->mode(), SalaryMode::monthly);
    EXPECT_TRUE(spoken(find("monthlySegment"))->state().checked);
    EXPECT_EQ(spoken(find("amountField"))->text(QAccessible::Name), "月薪（元）");
}

// A focused segment, chosen or not, wears a ring that stands out from its unfocused look.
TEST_F(SettingsPagesTest, FocusedSegmentsWearAVisibleRing) {
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
}

}  // namespace
}  // namespace orvelle
