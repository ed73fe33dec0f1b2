#pragma once

#include <optional>
#include <string>

#include "engine/CapsulePositions.h"
#include "engine/CapsuleSettings.h"
#include "platform/api/PreferencesStore.h"

namespace orvelle {

// The capsule's settings (privacy, size, opacity, whether and where its place is remembered) as
// the preferences store keeps them: each change is saved at once. The setters return whether
// anything changed, so that the store announces only real changes.
class CapsulePreferences {
public:
    // Reads the settings from `defaults`, which must outlive this object.
    explicit CapsulePreferences(PreferencesStore& defaults);

    const CapsuleSettings& settings() const { return settings_; }

    // Sets the size and opacity, each taken to the nearest allowed value, in one write.
    bool setLook(int scalePercent, int opacityPercent);
    bool setPrivacy(bool on);
    bool setRememberPosition(bool on);
    bool setClickThrough(bool on);
    // Returns where the user left the capsule on the screens named `layout`, if remembering.
    std::optional<DesktopPoint> position(const std::string& layout) const;
    // Keeps `at` as the capsule's place on the screens named `layout`, if remembering.
    void setPosition(const std::string& layout, DesktopPoint at);
    // Forgets every place the capsule was left at.
    void forgetPositions();

private:
    // Sets one of the on/off settings and saves it, if it changes.
    bool setSwitch(bool& setting, const char* key, bool on);

    PreferencesStore& defaults_;
    CapsuleSettings settings_;
};

}  // namespace orvelle
