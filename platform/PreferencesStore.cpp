#include "platform/PreferencesStore.h"

#include <cmath>
#include <limits>

namespace orvelle {

std::optional<std::string> PreferencesStore::text(std::string_view key) const {
    auto stored = value(key);
    if (!stored || !std::holds_alternative<std::string>(*stored)) {
        return std::nullopt;
    }
    return std::get<std::string>(std::move(*stored));
}

std::optional<double> PreferencesStore::numberIfPresent(std::string_view key) const {
    const auto stored = value(key);
    if (!stored) {
        return std::nullopt;
    }
    if (const auto* d = std::get_if<double>(&*stored)) {
        return *d;
    }
    if (const auto* i = std::get_if<std::int64_t>(&*stored)) {
        return static_cast<double>(*i);
    }
    return std::nullopt;
}

double PreferencesStore::number(std::string_view key) const {
    return numberIfPresent(key).value_or(0.0);
}

std::int64_t PreferencesStore::integer(std::string_view key) const {
    const auto stored = value(key);
    if (!stored) {
        return 0;
    }
    if (const auto* i = std::get_if<std::int64_t>(&*stored)) {
        return *i;
    }
    const auto* d = std::get_if<double>(&*stored);
    if (d == nullptr || std::isnan(*d)) {
        return 0;
    }
    // A hand-edited file may hold any double: saturate instead of converting out of range,
    // which would be undefined behaviour.
    constexpr double kLimit = 9.2233720368547748e18;  // the first double past INT64_MAX
    if (*d >= kLimit) {
        return std::numeric_limits<std::int64_t>::max();
    }
    if (*d < -kLimit) {
        return std::numeric_limits<std::int64_t>::min();
    }
    return static_cast<std::int64_t>(*d);
}

}  // namespace orvelle
