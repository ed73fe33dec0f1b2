#include "platform/posix/Autostart.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

#include "platform/posix/AtomicFile.h"

namespace orvelle {

namespace {

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    const auto last = text.find_last_not_of(" \t\r");
    return first == std::string::npos ? std::string{} : text.substr(first, last - first + 1);
}

// An argument of an Exec line: quoted when it holds a reserved character, and inside the quotes
// `"`, `` ` ``, `$` and `\` each take a backslash.
std::string quotedArgument(const std::string& argument) {
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

}  // namespace

Autostart::Autostart(std::filesystem::path configHome, std::string appId, std::string executable)
    : entry_(configHome / "autostart" / (appId + ".desktop")),
      appId_(std::move(appId)),
      executable_(std::move(executable)) {}

std::optional<std::string> Autostart::execValue(const std::string& executable) {
    const bool hasControl = std::any_of(executable.begin(), executable.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
    });
    if (hasControl) {
        return std::nullopt;
    }
    // The quoted argument is then written as a string value, where a backslash is doubled, and
    // in an Exec value a literal percent sign is doubled too.
    std::string value;
    for (const char c : quotedArgument(executable)) {
        if (c == '\\' || c == '%') {
            value += c;
        }
        value += c;
    }
    return value;
}

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

std::string Autostart::enable() const {
    const auto exec = execValue(executable_);
    if (!exec) {
        // A line break would end the Exec line early, and the rules have no escape for it there.
        return "程序路径中含有换行等控制字符，无法写成自启动项：" + executable_;
    }
    if (auto error = AtomicFile::ensureFolder(entry_.parent_path(), 0700); !error.empty()) {
        return error;
    }
    const std::string content =
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=Orvelle\n"
        "Comment=Shows, live, how much money the current work session has earned\n"
        "Exec=" +
        *exec +
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
