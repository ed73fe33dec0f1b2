#pragma once

#include <map>
#include <string>

#include "platform/api/PreferencesStore.h"

namespace orvelle::test {

// A preferences store that lives in memory only and counts how often it would have written: once
// per change outside a batch, once per batch that changed anything.
class InMemoryPreferences final : public PreferencesStore {
public:
    using Values = std::map<std::string, PreferenceValue, std::less<>>;

    InMemoryPreferences() = default;
    explicit InMemoryPreferences(Values values) : values_(std::move(values)) {}
    InMemoryPreferences& operator=(Values values) {
        values_ = std::move(values);
        return *this;
    }

    std::optional<PreferenceValue> value(std::string_view key) const override {
        const auto found = values_.find(key);
        return found == values_.end() ? std::nullopt : std::optional(found->second);
    }
    const Values& values() const { return values_; }
    int writeCount() const { return writeCount_; }

private:
    void assign(std::string_view key, PreferenceValue value) override {
        values_.insert_or_assign(std::string(key), std::move(value));
    }
    bool erase(std::string_view key) override { return values_.erase(std::string(key)) > 0; }
    void persist() override { ++writeCount_; }

    Values values_;
    int writeCount_ = 0;
};

}  // namespace orvelle::test
