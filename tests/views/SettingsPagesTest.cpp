#include "views/SettingsPages.h"

#include <gtest/gtest.h>
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

}  // namespace
}  // namespace orvelle
