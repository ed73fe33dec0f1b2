#pragma once

#include <map>
#include <string>

#include "platform/PreferencesStore.h"

namespace orvelle {

// A preferences store that lives in memory only: the engine's tests use it, and so does anything
// that must compute with the stored values without ever writing them back.
class InMemoryPreferences final : public PreferencesStore {
public:
    InMemoryPreferences() = default;
    explicit InMemoryPreferences(std::map<std::string, PreferenceValue, std::less<>> values);

    std::optional<PreferenceValue> value(std::string_view key) const override;
    void set(std::string_view key, PreferenceValue value) override;
    void remove(std::string_view key) override;

    // Returns every stored key and value.
    const std::map<std::string, PreferenceValue, std::less<>>& values() const { return values_; }

    // Returns how many writes and removals have been made.
    int writeCount() const { return writeCount_; }

private:
    std::map<std::string, PreferenceValue, std::less<>> values_;
    int writeCount_ = 0;
};

}  // namespace orvelle
