#include "platform/Autostart.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "platform/AtomicFile.h"

namespace orvelle {

namespace {

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    const auto last = text.find_last_not_of(" \t\r");
    return first == std::string::npos ? std::string{} : text.substr(first, last - first + 1);
}

}  // namespace

Autostart::Autostart(std::filesystem::path configHome, std::string appId, std::string executable)
    : entry_(configHome / "autostart" / (appId + ".desktop")),
      appId_(std::move(appId)),
      executable_(std::move(executable)) {}

bool Autostart::isEnabled() const {
    std::ifstream in(entry_);
    if (!in) {
        return false;
    }
    bool inEntryGroup = false;
    std::string line;
    while (std::getline(in, line)) {
        line = trimmed(line);
        if (!line.empty() && line.front() == '[') {
            inEntryGroup = line == "[Desktop Entry]";
            continue;
        }
        const auto equals = line.find('=');
        if (!inEntryGroup || equals == std::string::npos) {
            continue;
        }
        const std::string key = trimmed(line.substr(0, equals));
        const std::string value = trimmed(line.substr(equals + 1));
        if ((key == "Hidden" && value == "true") ||
            (key == "X-GNOME-Autostart-enabled" && value == "false")) {
            return false;
        }
    }
    return true;
}

std::string Autostart::quoteExecArgument(const std::string& argument) {
    const bool plain = argument.find_first_of(" \t\n\"'\\><~|&;$*?#()`") == std::string::npos;
    if (plain && !argument.empty()) {
        return argument;
    }
    std::string quoted = "\"";
    for (const char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + "\"";
}

std::string Autostart::enable() const {
    if (auto error = AtomicFile::ensureFolder(entry_.parent_path(), 0700); !error.empty()) {
        return error;
    }
    // In the Exec line a literal percent sign is written twice.
    std::string exec = quoteExecArgument(executable_);
    for (size_t at = exec.find('%'); at != std::string::npos; at = exec.find('%', at + 2)) {
        exec.insert(at, "%");
    }
    const std::string content =
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=Orvelle\n"
        "Comment=Shows, live, how much money the current work session has earned\n"
        "Exec=" +
        exec +
        "\n"
        "Icon=" +
        appId_ +
        "\n"
        "Terminal=false\n"
        "X-GNOME-Autostart-enabled=true\n";
    return AtomicFile::write(entry_, content, 0644);
}

std::string Autostart::disable() const {
    std::error_code error;
    std::filesystem::remove(entry_, error);
    return error ? "无法删除 " + entry_.string() + "（" + error.message() + "）" : std::string{};
}

}  // namespace orvelle
