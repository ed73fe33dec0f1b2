#include "platform/api/PreferencesStore.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <utility>

namespace orvelle {

namespace {

// Reads text that is, as a whole, a finite number in the C locale's notation. from_chars never
// looks at the process locale, which the GUI toolkit sets from the user's.
std::optional<double> numberInText(const std::string& text) {
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc{} || stop != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

void PreferencesStore::set(std::string_view key, PreferenceValue value) {
    assign(key, std::move(value));
    changed();
}

void PreferencesStore::remove(std::string_view key) {
    if (erase(key)) {
        changed();
    }
}

void PreferencesStore::changed() {
    if (openBatches_ > 0) {
        unsaved_ = true;
        return;
    }
    persist();
}

void PreferencesStore::endBatch() {
    if (--openBatches_ == 0 && std::exchange(unsaved_, false)) {
        persist();
    }
}

PreferencesStore::Batch::Batch(PreferencesStore& store) : store_(&store) {
    ++store_->openBatches_;
}

PreferencesStore::Batch::Batch(Batch&& other) noexcept
    : store_(std::exchange(other.store_, nullptr)) {}

PreferencesStore::Batch::~Batch() {
    if (store_ != nullptr) {
        store_->endBatch();
    }
}

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
    if (const auto* s = std::get_if<std::string>(&*stored)) {
        return numberInText(*s);
    }
    return std::nullopt;
}

double PreferencesStore::number(std::string_view key) const {
    return numberIfPresent(key).value_or(0.0);
}

std::int64_t PreferencesStore::integer(std::string_view key) const {
    if (const auto stored = value(key); stored && std::holds_alternative<std::int64_t>(*stored)) {
        return std::get<std::int64_t>(*stored);
    }
    const auto d = numberIfPresent(key);
    if (!d || std::isnan(*d)) {
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

std::optional<bool> PreferencesStore::flag(std::string_view key) const {
    const auto stored = value(key);
    if (!stored || !std::holds_alternative<bool>(*stored)) {
        return std::nullopt;
    }
    return std::get<bool>(*stored);
}

std::optional<IntegerList> PreferencesStore::integers(std::string_view key) const {
    auto stored = value(key);
    if (!stored || !std::holds_alternative<IntegerList>(*stored)) {
        return std::nullopt;
    }
    return std::get<IntegerList>(std::move(*stored));
}

}  // namespace orvelle
