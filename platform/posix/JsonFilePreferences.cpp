#include "platform/posix/JsonFilePreferences.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <limits>
#include <ostream>
#include <sstream>

#include "platform/posix/AtomicFile.h"
#include "platform/posix/PreferencesFileReader.h"
#include "platform/posix/XdgPaths.h"

namespace orvelle {

namespace {

using Json = nlohmann::ordered_json;

constexpr mode_t kFolderMode = 0700;
constexpr mode_t kFileMode = 0600;

PreferenceValue fromJson(const Json& json) {
    if (json.is_string()) {
        return json.get<std::string>();
    }
    if (json.is_boolean()) {
        return json.get<bool>();
    }
    if (json.is_number_unsigned()) {
        const auto value = json.get<std::uint64_t>();
        if (value <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
            return static_cast<std::int64_t>(value);
        }
        return static_cast<double>(value);
    }
    if (json.is_number_integer()) {
        return json.get<std::int64_t>();
    }
    if (json.is_number_float()) {
        return json.get<double>();
    }
    if (json.is_array() && std::ranges::all_of(json, [](const Json& item) {
            return item.is_number_integer() &&
                   (!item.is_number_unsigned() ||
                    item.get<std::uint64_t>() <=
                        static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()));
        })) {
        return json.get<IntegerList>();
    }
    return ForeignValue{};
}

Json toJson(const PreferenceValue& value) {
    return std::visit(
        [](const auto& v) -> Json {
            if constexpr (std::is_same_v<std::decay_t<decltype(v)>, ForeignValue>) {
                return nullptr;
            } else {
                return v;
            }
        },
        value);
}

std::string timestamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

}  // namespace

JsonFilePreferences::JsonFilePreferences(std::filesystem::path file, std::ostream& diagnostics,
                                         Access access)
    : path_(std::move(file)), diagnostics_(diagnostics), access_(access) {
    mayWrite_ = access_ == Access::readWrite;
    load();
}

std::filesystem::path JsonFilePreferences::defaultPath() {
    return xdgConfigHome() / "orvelle" / "preferences.json";
}

void JsonFilePreferences::load() {
    const auto target = AtomicFile::resolveLinks(path_);
    auto result = PreferencesFileReader::read(target);
    const bool notAFile = result.outcome == PreferencesFileReader::Outcome::unreadable ||
                          result.outcome == PreferencesFileReader::Outcome::notRegular;
    if (mayWrite_ && !notAFile) {
        // Temporaries of writes a kill interrupted: each is a full copy, and they would pile up.
        AtomicFile::removeStaleTemporaries(target);
    }
    if (result.outcome == PreferencesFileReader::Outcome::read) {
        document_ = std::move(result.document);
        return;
    }
    if (result.outcome == PreferencesFileReader::Outcome::missing) {
        return;
    }
    const std::string why = PreferencesFileReader::reason(result);
    problem_ = target.string() + " " + why;
    if (notAFile) {
        // What we cannot read, or what is no regular file (a FIFO, a device, a folder), is
        // neither moved nor replaced: the values of this run stay in memory.
        const bool wouldWrite = mayWrite_;
        mayWrite_ = false;
        unsaved_ = problem_;
        diagnostics_ << "orvelle: " << problem_ << (wouldWrite ? "，本次运行不会保存设置\n" : "\n");
        return;
    }
    if (access_ == Access::readOnly) {
        diagnostics_ << "orvelle: " << problem_ << "，按空设置读取\n";
        return;
    }
    moveAside(target, why.c_str());
}

void JsonFilePreferences::moveAside(const std::filesystem::path& target, const char* why) {
    const std::string base = target.string() + ".corrupt-" + timestamp();
    std::string aside = base;
    for (int n = 1; std::filesystem::exists(std::filesystem::symlink_status(aside)); ++n) {
        aside = base + "-" + std::to_string(n);
    }
    if (::rename(target.c_str(), aside.c_str()) == 0) {
        diagnostics_ << "orvelle: " << target.string() << " " << why << "，已将其移到 " << aside
                     << "，改用默认设置\n";
        return;
    }
    mayWrite_ = false;
    unsaved_ = target.string() + " " + why + "，且无法移开（" + std::strerror(errno) + "）";
    diagnostics_ << "orvelle: " << unsaved_ << "，本次运行使用默认设置且不保存\n";
}

std::optional<PreferenceValue> JsonFilePreferences::value(std::string_view key) const {
    const auto found = document_.find(key);
    // A null written by hand counts as absent, so the setting's default applies.
    if (found == document_.end() || found->is_null()) {
        return std::nullopt;
    }
    return fromJson(*found);
}

void JsonFilePreferences::assign(std::string_view key, PreferenceValue value) {
    document_[std::string(key)] = toJson(value);
}

bool JsonFilePreferences::erase(std::string_view key) {
    return document_.erase(std::string(key)) > 0;
}

void JsonFilePreferences::persist() {
    if (!mayWrite_) {
        if (unsaved_.empty()) {
            unsaved_ = path_.string() + " 以只读方式打开";
        }
        return;
    }
    const auto target = AtomicFile::resolveLinks(path_);
    std::string error = AtomicFile::ensureFolder(target.parent_path(), kFolderMode);
    if (error.empty()) {
        const std::string content =
            document_.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
        error = AtomicFile::write(target, content, kFileMode);
    }
    unsaved_ = error;
    if (error.empty()) {
        writeFailureReported_ = false;
        return;
    }
    // One line per run of failures, not one per write: a full disk must not flood the terminal.
    if (!writeFailureReported_) {
        writeFailureReported_ = true;
        diagnostics_ << "orvelle: " << error << "，本次运行的设置只保存在内存中\n";
    }
}

}  // namespace orvelle
