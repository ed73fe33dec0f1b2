#include "app/PanelPlacement.h"

#include <gtest/gtest.h>

#include "fakes/DelegateFixture.h"

namespace orvelle {
namespace {

using test::FakeScreens;

constexpr QSize kPanel{150, 90};

TEST(PanelPlacement, PutsThePanelAtTheRightOfTheUsableArea) {
    using Case = std::tuple<const char*, QRect, QRect, QPoint>;  // what, frame, usable, top left
    const QRect laptop(0, 0, 1440, 900);
    const Case cases[] = {
        {"bar on top, dock at the bottom", laptop, {0, 25, 1440, 805}, {1194, 97}},
        {"a dock at the right widens the gap", laptop, {0, 25, 1370, 875}, {1054, 97}},
        {"a dock at the left changes nothing", laptop, {70, 0, 1370, 900}, {1194, 72}},
        {"strut at the right", {0, 0, 1920, 1080}, {0, 32, 1856, 1048}, {1856 - 150 - 160, 104}},
        {"offset screen", {1440, -100, 1920, 1080}, {1440, -70, 1920, 1050}, {3114, 2}},
        // On a very short area the top margin wins, even if the bottom leaves the area.
        {"only 100 pixels high", laptop, {0, 0, 1440, 100}, {1194, 12}},
        {"just fits the top inset", laptop, {0, 0, 1440, 90 + 24 + 72}, {1194, 72}},
        {"kept above the bottom margin", laptop, {0, 0, 1440, 150}, {1194, 150 - 12 - 90}},
    };
    for (const auto& [what, frame, usable, topLeft] : cases) {
        FakeScreens screens;
        screens.main = ScreenGeometry{frame, usable};
        screens.all = {*screens.main};
        EXPECT_EQ(panelTopLeft(screens, kPanel, PanelInsets{}), topLeft) << what;
    }
}

TEST(PanelPlacement, ChoosesTheMainScreenElseTheFirstAndTellsWhatLiesOnNone) {
    const ScreenGeometry left{QRect(0, 0, 800, 600), QRect(0, 0, 800, 600)};
    const ScreenGeometry right{QRect(800, 0, 1440, 900), QRect(800, 0, 1440, 900)};
    FakeScreens screens;
    screens.all = {left, right};
    screens.main = right;
    EXPECT_EQ(panelTopLeft(screens, kPanel, PanelInsets{}), QPoint(2240 - 150 - 96, 72));
    screens.main.reset();
    EXPECT_EQ(panelTopLeft(screens, kPanel, PanelInsets{}), QPoint(800 - 150 - 96, 72));
    EXPECT_TRUE(centreLiesOnAScreen(screens, QRect(2150, 800, 150, 90)));  // half on the right one
    EXPECT_FALSE(centreLiesOnAScreen(screens, QRect(100, 700, 150, 90)));  // below the left one
    // A sliver left on a screen, as a window manager leaves it when the screen it was on goes.
    EXPECT_FALSE(centreLiesOnAScreen(screens, QRect(-140, 591, 150, 90)));
    screens.all.clear();
    EXPECT_EQ(panelTopLeft(screens, kPanel, PanelInsets{}), std::nullopt);
}

}  // namespace
}  // namespace orvelle
