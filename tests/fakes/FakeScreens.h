#pragma once

#include "platform/desktop/Screens.h"

namespace orvelle::test {

// Screens the test lays out, in Qt's coordinates.
class FakeScreens final : public ScreenSource {
public:
    std::optional<ScreenGeometry> mainScreen() const override { return main; }
    std::vector<ScreenGeometry> screens() const override { return all; }

    std::optional<ScreenGeometry> main;
    std::vector<ScreenGeometry> all;
};

}  // namespace orvelle::test
