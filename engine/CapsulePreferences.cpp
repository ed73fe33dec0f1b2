#include "engine/CapsulePreferences.h"

#include "engine/PreferenceKeys.h"

namespace orvelle {

CapsulePreferences::CapsulePreferences(PreferencesStore& defaults)
    : defaults_(defaults), settings_(loadCapsuleSettings(defaults)) {}

bool CapsulePreferences::setLook(int scalePercent, int opacityPercent) {
    const int scale = allowedScale(scalePercent);
    const int opacity = allowedOpacity(opacityPercent);
    if (scale == settings_.scalePercent && opacity == settings_.opacityPercent) {
        return false;
    }
    settings_.scalePercent = scale;
    settings_.opacityPercent = opacity;
    const PreferencesStore::Batch batch(defaults_);
    defaults_.set(keys::capsuleScale, std::int64_t{scale});
    defaults_.set(keys::capsuleOpacity, std::int64_t{opacity});
    return true;
}

bool CapsulePreferences::setPrivacy(bool on) {
    return setSwitch(settings_.privacy, keys::privacy, on);
}

bool CapsulePreferences::setRememberPosition(bool on) {
    return setSwitch(settings_.rememberPosition, keys::rememberPosition, on);
}

bool CapsulePreferences::setClickThrough(bool on) {
    return setSwitch(settings_.clickThrough, keys::clickThrough, on);
}

bool CapsulePreferences::setSwitch(bool& setting, const char* key, bool on) {
    if (on == setting) {
        return false;
    }
    setting = on;
    defaults_.set(key, on);
    return true;
}

std::optional<DesktopPoint> CapsulePreferences::position(const std::string& layout) const {
    if (!settings_.rememberPosition) {
        return std::nullopt;
    }
    return CapsulePositions::find(defaults_.text(keys::capsulePosition).value_or(""), layout);
}

void CapsulePreferences::setPosition(const std::string& layout, DesktopPoint at) {
    if (settings_.rememberPosition && position(layout) != at) {
        defaults_.set(
            keys::capsulePosition,
            CapsulePositions::with(defaults_.text(keys::capsulePosition).value_or(""), layout, at));
    }
}

void CapsulePreferences::forgetPositions() {
    defaults_.remove(keys::capsulePosition);
}

}  // namespace orvelle
