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

}  // namespace
}  // namespace orvelle
