#pragma once

#include <optional>
#include <vector>

#include <QRect>

namespace orvelle {

// One screen in the virtual desktop's coordinates (logical pixels, origin top left, y down).
struct ScreenGeometry {
    QRect frame;      // the whole screen
    QRect available;  // the part that panels, docks and bars leave free
};

// The screens the application can place windows on.
class ScreenSource {
public:
    virtual ~ScreenSource() = default;

    // Returns the main screen, if the window system names one.
    virtual std::optional<ScreenGeometry> mainScreen() const = 0;

    // Returns every screen, the main one first when there is one.
    virtual std::vector<ScreenGeometry> screens() const = 0;
};

// The screens Qt reports; the primary screen is the main one.
class QtScreens final : public ScreenSource {
public:
    std::optional<ScreenGeometry> mainScreen() const override;
    std::vector<ScreenGeometry> screens() const override;
};

}  // namespace orvelle
