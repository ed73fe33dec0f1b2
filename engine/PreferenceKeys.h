#pragma once

namespace orvelle::keys {

// Every preference key the store reads, writes or removes.
inline constexpr const char* mode = "salary.mode";
inline constexpr const char* amount = "salary.amount";
inline constexpr const char* scheduleEndMin = "salary.scheduleEndMin";
inline constexpr const char* workingDays = "salary.workingDays";
inline constexpr const char* calendarDay = "salary.calendarDay";
inline constexpr const char* sessionStart = "salary.sessionStart";
inline constexpr const char* anchorDay = "salary.anchorDay";
inline constexpr const char* anchorStart = "salary.anchorStart";
// Whether every amount shown is masked; a JSON boolean, off when absent.
inline constexpr const char* privacy = "salary.privacy";
// The capsule's size and opacity in percent (100, 125, 150, 200; 40 to 100), 100 when absent.
inline constexpr const char* capsuleScale = "salary.capsuleScale";
inline constexpr const char* capsuleOpacity = "salary.capsuleOpacity";
// Whether the capsule goes back where the user dragged it (a JSON boolean, off when absent), and
// where that was, per screen layout (text; see CapsulePositions).
inline constexpr const char* rememberPosition = "salary.rememberPosition";
inline constexpr const char* clickThrough = "salary.clickThrough";
inline constexpr const char* capsulePosition = "salary.capsulePosition";
// The working-day rules; each is written only once it has been changed from its default.
inline constexpr const char* breakEnabled = "salary.breakEnabled";
inline constexpr const char* breakStartMin = "salary.breakStartMin";
inline constexpr const char* breakEndMin = "salary.breakEndMin";
inline constexpr const char* afterEnd = "salary.afterEnd";
inline constexpr const char* overtimeRate = "salary.overtimeRate";
inline constexpr const char* endNotice = "salary.endNotice";
// The working week, each written only once it has been changed from its default: shifts that
// cross midnight, the working days (an array of weekday numbers, Monday = 1; Monday to Friday
// when absent), work that starts by itself at a time of day, and the time left on the capsule.
inline constexpr const char* overnight = "salary.overnight";
inline constexpr const char* workdays = "salary.workdays";
inline constexpr const char* autoStartEnabled = "salary.autoStartEnabled";
inline constexpr const char* autoStartMin = "salary.autoStartMin";
inline constexpr const char* showCountdown = "salary.showCountdown";
// Written only while those are in use: whether the open session was started as a night shift
// (one started before they were turned on never crosses midnight), and the last day on which
// work started by itself or a session was stopped by hand, when it may not start by itself again.
inline constexpr const char* overnightSession = "salary.overnightSession";
inline constexpr const char* autoStartDoneDay = "salary.autoStartDoneDay";
// Left by an earlier settings layout; only the migration reads or removes them.
inline constexpr const char* legacyWorkHours = "salary.workHours";
inline constexpr const char* legacyScheduleStartMin = "salary.scheduleStartMin";

}  // namespace orvelle::keys
