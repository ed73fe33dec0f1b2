#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orvelle {

// A point on the virtual desktop, in logical pixels.
struct DesktopPoint {
    int x = 0;
    int y = 0;
    bool operator==(const DesktopPoint&) const = default;
};

// Where the user left the capsule, one place per screen layout, kept as text:
// "LAYOUT@X,Y" entries joined by ";", the most recent first, at most eight. A layout names its
// screens (for example "1440x900+0+0|1920x1080+1440+0"), so that a place is used only on the
// screens it was chosen on. Text that is not of this form finds nothing.
class CapsulePositions {
public:
    static constexpr int kMostLayouts = 8;

    // Returns the place stored for `layout` in `stored`, or nothing.
    static std::optional<DesktopPoint> find(std::string_view stored, std::string_view layout);

    // Returns `stored` with `layout`'s place set to `at`, first.
    static std::string with(std::string_view stored, std::string_view layout, DesktopPoint at);
};

}  // namespace orvelle
