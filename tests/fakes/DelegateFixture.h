#pragma once

#include <gtest/gtest.h>
#include <QTemporaryDir>

#include "app/AppDelegate.h"
#include "fakes/StoreHarness.h"
#include "platform/desktop/Screens.h"

namespace orvelle::test {

// Screens the test lays out, in Qt's coordinates.
struct FakeScreens final : ScreenSource {
    std::optional<ScreenGeometry> mainScreen() const override { return main; }
    std::vector<ScreenGeometry> screens() const override { return all; }
    std::optional<ScreenGeometry> main;
    std::vector<ScreenGeometry> all;
};

// An application delegate on a store of fakes and one 1440 × 900 screen with a 30-pixel bar at
// the top, at 09:00 on 2 March 2026, with its autostart entry in a temporary folder.
class DelegateFixture : public ::testing::Test {
protected:
    DelegateFixture() {
        harness.setLocal({2026, 3, 2, 9, 0});
        harness.launch();
        screens.main = ScreenGeometry{QRect(0, 0, 1440, 900), QRect(0, 30, 1440, 870)};
        screens.all = {*screens.main};
    }

    int storeRequests = 0;
    StoreHarness harness;
    FakeScreens screens;
    QTemporaryDir home;
    Autostart autostart{home.path().toStdString(), "io.github.orvelle.Orvelle", "/usr/bin/orvelle"};
    AppDelegate delegate{[this]() -> SalaryStore& {
                             ++storeRequests;
                             return *harness.store;
                         },
                         screens, autostart};
};

}  // namespace orvelle::test
