#include "app/AppDelegate.h"
#include "fakes/DelegateFixture.h"

#include <gtest/gtest.h>

#include "app/FloatingPanel.h"
#include "views/FloatingAmountView.h"

namespace orvelle {
namespace {

using AppDelegateTest = test::DelegateFixture;

TEST_F(AppDelegateTest, LaunchBuildsOnePlacedPanelHostingTheCapsule) {
    EXPECT_EQ(storeRequests, 0);  // the store is first touched when the panel is built
    delegate.applicationDidFinishLaunching();
    FloatingPanel* panel = delegate.floatingPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->frameGeometry(), QRect(1440 - 150 - 96, 30 + 72, 150, 90));
    EXPECT_NE(panel->findChild<FloatingAmountView*>(), nullptr);
    delegate.applicationDidFinishLaunching();
    EXPECT_EQ(delegate.floatingPanel(), panel);
}

TEST_F(AppDelegateTest, PanelThatLiesOnNoScreenIsPlacedAgain) {
    delegate.applicationDidFinishLaunching();
    FloatingPanel* panel = delegate.floatingPanel();
    panel->move(1200, 500);  // dragged by the user: stays where it is
    delegate.placePanelAgainIfLost();
    EXPECT_EQ(panel->pos(), QPoint(1200, 500));
    // The screen it was on is gone; only a smaller one remains.
    screens.main = ScreenGeometry{QRect(0, 0, 1024, 768), QRect(0, 0, 1024, 768)};
    screens.all = {*screens.main};
    delegate.placePanelAgainIfLost();
    EXPECT_EQ(panel->pos(), QPoint(1024 - 150 - 96, 72));
}

// With "记住位置" on, the capsule goes back where the user left it on the same screens: at the
// next start, but not on other screens, and not after "重置位置"; with it off, nothing is kept.
TEST_F(AppDelegateTest, RemembersWhereTheUserLeftThePanelOnTheSameScreens) {
    SalaryStore& store = *harness.store;
    const std::string layout = "1440x900+0+0";
    store.setCapsulePosition(layout, {300, 400});
    EXPECT_FALSE(store.capsulePosition(layout));
    store.setRememberPosition(true);
    store.setCapsulePosition(layout, {300, 400});
    store.setCapsulePosition("1024x768+0+0", {10, 20});
    EXPECT_EQ(harness.preferences.text("salary.capsulePosition"),
              "1024x768+0+0@10,20;1440x900+0+0@300,400");
    delegate.applicationDidFinishLaunching();
    FloatingPanel* panel = delegate.floatingPanel();
    EXPECT_EQ(panel->pos(), QPoint(300, 400));
    screens.main = ScreenGeometry{QRect(0, 0, 1280, 800), QRect(0, 0, 1280, 800)};
    screens.all = {*screens.main};
    delegate.resetPanelPosition();  // another layout: the designed place
    EXPECT_EQ(panel->pos(), QPoint(1280 - 150 - 96, 72));
    EXPECT_FALSE(harness.preferences.contains("salary.capsulePosition"));
    for (const char* hostile : {"1440x900+0+0@x,1", "@1,2", "1440x900+0+0@1", ";;"}) {
        harness.preferences.set("salary.capsulePosition", std::string(hostile));
        EXPECT_FALSE(store.capsulePosition(layout)) << hostile;
    }
}

}  // namespace
}  // namespace orvelle
