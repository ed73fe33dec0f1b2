#include "platform/InMemoryPreferences.h"

namespace orvelle {

InMemoryPreferences::InMemoryPreferences(std::map<std::string, PreferenceValue, std::less<>> values)
    : values_(std::move(values)) {}

std::optional<PreferenceValue> InMemoryPreferences::value(std::string_view key) const {
    const auto found = values_.find(key);
    if (found == values_.end()) {
        return std::nullopt;
    }
    return found->second;
}

void InMemoryPreferences::set(std::string_view key, PreferenceValue value) {
    ++writeCount_;
    values_.insert_or_assign(std::string(key), std::move(value));
}

void InMemoryPreferences::remove(std::string_view key) {
    ++writeCount_;
    const auto found = values_.find(key);
    if (found != values_.end()) {
        values_.erase(found);
    }
}

}  // namespace orvelle
