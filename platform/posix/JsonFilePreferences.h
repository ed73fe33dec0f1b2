#pragma once

#include <filesystem>
#include <iosfwd>

#include <nlohmann/json.hpp>

#include "platform/api/PreferencesStore.h"

namespace orvelle {

// The real preferences store: one JSON object in one file, whose members are the preference keys.
// The whole file is read once, at construction; every change (or batch of changes) rewrites it
// atomically (temporary file, fsync, rename), so a crash leaves the old file or the new one and
// never a torn one. Members this program does not know are kept. A file that is not a JSON object,
// or is too large or nested too deeply, is moved aside, never overwritten; one that cannot be read
// or is not a regular file, or that cannot be written, keeps its old content while the values live
// on in memory. Each of these cases prints one line on `diagnostics`.
class JsonFilePreferences final : public PreferencesStore {
public:
    // Whether changes reach the file or stay in memory; a read-only store never touches the
    // file, not even to move a damaged one aside.
    enum class Access { readWrite, readOnly };

    JsonFilePreferences(std::filesystem::path file, std::ostream& diagnostics,
                        Access access = Access::readWrite);

    // Returns $XDG_CONFIG_HOME/orvelle/preferences.json, or ~/.config/orvelle/preferences.json.
    static std::filesystem::path defaultPath();

    std::optional<PreferenceValue> value(std::string_view key) const override;

    // Returns what was wrong with the file when it was read ("<path> <why>"), empty when it was
    // read or is missing.
    const std::string& problem() const { return problem_; }

    // Returns why the file may not hold what this store holds: the last write failed, or the file
    // is one this store never writes (no regular file, unreadable, damaged and not movable).
    // Empty when every change so far reached the file.
    const std::string& unsaved() const { return unsaved_; }

private:
    void assign(std::string_view key, PreferenceValue value) override;
    bool erase(std::string_view key) override;
    void persist() override;
    void load();
    void moveAside(const std::filesystem::path& target, const char* why);

    std::filesystem::path path_;
    std::ostream& diagnostics_;
    nlohmann::ordered_json document_ = nlohmann::ordered_json::object();
    Access access_;
    bool mayWrite_ = true;
    bool writeFailureReported_ = false;
    std::string problem_;
    std::string unsaved_;
};

}  // namespace orvelle
