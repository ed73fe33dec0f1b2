#pragma once

#include "platform/api/PreferencesStore.h"

namespace orvelle {

// How the capsule is shown: masked or not, its size and its opacity, in percent.
struct CapsuleSettings {
    bool privacy = false;
    int scalePercent = 100;
    int opacityPercent = 100;
    bool rememberPosition = false;
    bool clickThrough = false;  // the capsule takes no pointer input
};

// Reads the capsule's settings; each that is absent or unusable leaves its default.
CapsuleSettings loadCapsuleSettings(const PreferencesStore& defaults);

// Returns the allowed size nearest to `percent`: 100, 125, 150 or 200.
int allowedScale(double percent);

// Returns `percent` taken into 40 to 100; what is not a number gives fully opaque.
int allowedOpacity(double percent);

}  // namespace orvelle
