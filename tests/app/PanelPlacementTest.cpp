#include "app/PanelPlacement.h"

#include <gtest/gtest.h>

#include "fakes/FakeScreens.h"

namespace orvelle {
namespace {

using test::FakeScreens;

constexpr QSize kPanel{150, 90};

// A 1440 × 900 screen whose usable area, in the upward-y terms the rules are stated in, is
// (x, y, w, h); converted here to Qt's downward y.
ScreenGeometry macLikeScreen(int x, int y, int w, int h) {
    return {QRect(0, 0, 1440, 900), QRect(x, 900 - (y + h), w, h)};
}

QPoint placeOn(const ScreenGeometry& screen) {
    FakeScreens screens;
    screens.main = screen;
    screens.all = {screen};
    return *panelTopLeft(screens, kPanel, PanelInsets{});
}

TEST(PanelPlacement, WorkedExamplesInQtCoordinates) {
    // Menu bar on top, dock at the bottom: the panel spans x 1194-1344 and, upwards, y 713-803,
    // which is 97 pixels below the screen's top edge in Qt's terms.
    EXPECT_EQ(placeOn(macLikeScreen(0, 70, 1440, 805)), QPoint(1194, 97));
    // A dock 70 wide at the right: the gap grows by the dock's width.
    EXPECT_EQ(placeOn(macLikeScreen(0, 0, 1370, 875)), QPoint(1054, 97));
}

TEST(PanelPlacement, KeepsTheSafetyInsetWhateverIsDockedElsewhere) {
    const ScreenGeometry leftDock{QRect(0, 0, 1440, 900), QRect(70, 0, 1370, 900)};
    EXPECT_EQ(placeOn(leftDock), QPoint(1440 - 150 - 96, 72));
    const ScreenGeometry rightStrut{QRect(0, 0, 1920, 1080), QRect(0, 32, 1856, 1048)};
    EXPECT_EQ(placeOn(rightStrut), QPoint(1856 - 150 - (64 + 96), 32 + 72));
}

TEST(PanelPlacement, OnAVeryShortAreaTheTopMarginWins) {
    // Only 100 pixels usable: the lower bound would push the panel up, the upper one pulls it
    // back to 12 below the top, even though its bottom then leaves the usable area.
    const ScreenGeometry shortArea{QRect(0, 0, 1440, 900), QRect(0, 0, 1440, 100)};
    EXPECT_EQ(placeOn(shortArea).y(), 12);
    const ScreenGeometry justFits{QRect(0, 0, 1440, 900), QRect(0, 0, 1440, 90 + 24 + 72)};
    EXPECT_EQ(placeOn(justFits).y(), 72);
    const ScreenGeometry between{QRect(0, 0, 1440, 900), QRect(0, 0, 1440, 150)};
    EXPECT_EQ(placeOn(between).y(), 150 - 12 - 90);
}

TEST(PanelPlacement, WorksOnAScreenAwayFromTheOrigin) {
    const ScreenGeometry second{QRect(1440, -100, 1920, 1080), QRect(1440, -70, 1920, 1050)};
    EXPECT_EQ(placeOn(second), QPoint(1440 + 1920 - 150 - 96, -70 + 72));
}

TEST(PanelPlacement, WithoutAMainScreenTakesTheFirstAndWithoutAnyGivesNothing) {
    FakeScreens screens;
    screens.all = {{QRect(0, 0, 800, 600), QRect(0, 0, 800, 600)},
                   {QRect(800, 0, 1440, 900), QRect(800, 0, 1440, 900)}};
    EXPECT_EQ(panelTopLeft(screens, kPanel, PanelInsets{}), QPoint(800 - 150 - 96, 72));
    screens.all.clear();
    EXPECT_EQ(panelTopLeft(screens, kPanel, PanelInsets{}), std::nullopt);
}

TEST(PanelPlacement, TellsWhetherAWindowLiesOnAnyScreen) {
    FakeScreens screens;
    screens.all = {{QRect(0, 0, 1440, 900), QRect(0, 0, 1440, 900)}};
    EXPECT_TRUE(liesOnAnyScreen(screens, QRect(1400, 850, 150, 90)));
    EXPECT_FALSE(liesOnAnyScreen(screens, QRect(1500, 100, 150, 90)));
}

}  // namespace
}  // namespace orvelle
