#pragma once

#include <string>

namespace orvelle {

// Tells, before Qt starts, whether the window system Qt is going to use can be reached: Qt aborts
// the whole process when it cannot, which reads like a broken installation.
class DisplayProbe {
public:
    // Returns an empty string when a usable display is at hand, else what was tried, for the user.
    static std::string whyNoDisplay();
};

}  // namespace orvelle
