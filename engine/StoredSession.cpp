#include "engine/StoredSession.h"

#include <cmath>

#include "engine/PreferenceKeys.h"

namespace orvelle {

std::string StoredSession::day() const {
    return defaults_.text(keys::calendarDay).value_or("");
}

std::optional<Instant> StoredSession::start(const std::string& day) const {
    return instantOn(keys::sessionStart, day);
}

std::optional<Instant> StoredSession::anchor(const std::string& day) const {
    return defaults_.text(keys::anchorDay) == day ? instantOn(keys::anchorStart, day)
                                                  : std::nullopt;
}

void StoredSession::beginDay(const std::string& day) {
    removeAnchor();
    defaults_.set(keys::calendarDay, day);
    defaults_.remove(keys::sessionStart);
    defaults_.remove(keys::overnightSession);
}

void StoredSession::writeStart(std::optional<Instant> start) {
    defaults_.remove(keys::overnightSession);
    if (start) {
        defaults_.set(keys::sessionStart, start->secondsSince1970);
    } else {
        defaults_.remove(keys::sessionStart);
    }
}

void StoredSession::writeAnchor(Instant anchor) {
    defaults_.set(keys::anchorDay, calendar_.dayKey(anchor));
    defaults_.set(keys::anchorStart, anchor.secondsSince1970);
}

void StoredSession::removeAnchor() {
    defaults_.remove(keys::anchorDay);
    defaults_.remove(keys::anchorStart);
}

bool StoredSession::overnight() const {
    return defaults_.flag(keys::overnightSession).value_or(false);
}

void StoredSession::writeOvernight() {
    defaults_.set(keys::overnightSession, true);
}

std::string StoredSession::autoStartDoneDay() const {
    return defaults_.text(keys::autoStartDoneDay).value_or("");
}

void StoredSession::writeAutoStartDoneDay(const std::string& day) {
    defaults_.set(keys::autoStartDoneDay, day);
}

// A stored instant counts only as a finite instant on the stored day; anything else (a number far
// out of range, 0, an instant of another day) would turn into nonsense on screen.
std::optional<Instant> StoredSession::instantOn(const char* key, const std::string& day) const {
    const auto seconds = defaults_.numberIfPresent(key);
    if (!seconds || !std::isfinite(*seconds)) {
        return std::nullopt;
    }
    const Instant instant{*seconds};
    if (day.empty() || calendar_.dayKey(instant) != day) {
        return std::nullopt;
    }
    return instant;
}

}  // namespace orvelle
