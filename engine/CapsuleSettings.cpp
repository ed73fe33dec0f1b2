#include "engine/CapsuleSettings.h"

#include <algorithm>
#include <cmath>

#include "engine/PreferenceKeys.h"

namespace orvelle {

namespace {

// The sizes the capsule is drawn at; any other value is taken to the nearest of them.
constexpr int kScales[] = {100, 125, 150, 200};

}  // namespace

CapsuleSettings loadCapsuleSettings(const PreferencesStore& defaults) {
    return {defaults.flag(keys::privacy).value_or(false),
            allowedScale(defaults.numberIfPresent(keys::capsuleScale).value_or(100)),
            allowedOpacity(defaults.numberIfPresent(keys::capsuleOpacity).value_or(100)),
            defaults.flag(keys::rememberPosition).value_or(false),
            defaults.flag(keys::clickThrough).value_or(false)};
}

int allowedScale(double percent) {
    int best = kScales[0];
    for (const int scale : kScales) {
        if (std::abs(percent - scale) < std::abs(percent - best)) {
            best = scale;
        }
    }
    return best;
}

int allowedOpacity(double percent) {
    // Written so that a value that is not a number gives the default, fully opaque.
    return percent >= 40  ? static_cast<int>(std::lround(std::min(percent, 100.0)))
           : percent < 40 ? 40
                          : 100;
}

}  // namespace orvelle
