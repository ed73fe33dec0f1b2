#pragma once

#include <string>

namespace orvelle {

// Tells, before Qt starts, whether the window system Qt is going to use can be reached: Qt aborts
// the whole process when it cannot, which reads like a broken installation.
class DisplayProbe {
public:
    // The choices of Qt's own command-line options, which win over the environment's; empty when
    // not given.
    struct Options {
        std::string platform;  // -platform
        std::string display;   // -display, the X server
    };

    // Returns an empty string when a usable display is at hand, else what was tried, for the user.
    static std::string whyNoDisplay(const Options& options);
};

}  // namespace orvelle
