#pragma once

#include <optional>
#include <string>

#include "platform/api/Calendar.h"
#include "platform/api/PreferencesStore.h"

namespace orvelle {

// The open work session as the preferences store keeps it: the calendar day it belongs to, its
// start, and the anchor its pay interval is counted from, with the day of the anchor. This is the
// one place that knows those keys.
class StoredSession {
public:
    StoredSession(PreferencesStore& defaults, const Calendar& calendar)
        : defaults_(defaults), calendar_(calendar) {}

    // Returns the stored calendar day, empty when none is stored.
    std::string day() const;
    // Returns the stored start if it is a finite instant on `day`, else nothing.
    std::optional<Instant> start(const std::string& day) const;
    // Returns the stored anchor if it and its day belong to `day`, else nothing.
    std::optional<Instant> anchor(const std::string& day) const;

    // Stores a new day, on which no session is open yet.
    void beginDay(const std::string& day);
    // Stores the session's start, or removes it when the session has ended.
    void writeStart(std::optional<Instant> start);
    // Stores the anchor and its day.
    void writeAnchor(Instant anchor);
    // Removes the anchor and its day.
    void removeAnchor();

    // Returns whether the open session was started as a night shift, which goes on past midnight.
    bool overnight() const;
    // Marks the session just started as a night shift; an ended session loses the mark.
    void writeOvernight();
    // Returns the last day on which work started by itself or a session was stopped by hand.
    std::string autoStartDoneDay() const;
    // Stores `day` as the last day on which work started by itself or was stopped by hand.
    void writeAutoStartDoneDay(const std::string& day);

private:
    std::optional<Instant> instantOn(const char* key, const std::string& day) const;

    PreferencesStore& defaults_;
    const Calendar& calendar_;
};

}  // namespace orvelle
