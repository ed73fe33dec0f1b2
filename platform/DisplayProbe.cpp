#include "platform/DisplayProbe.h"

#include <sys/stat.h>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include <xcb/xcb.h>
#include <QLibraryInfo>

namespace orvelle {

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find(separator, start), text.size());
        if (end > start) {
            parts.push_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return parts;
}

// The platforms Qt tries, in order: QT_QPA_PLATFORM's list ("wayland;xcb", each maybe followed
// by ":options"), or what it picks by itself for the session.
std::vector<std::string> platformsQtTries() {
    std::vector<std::string> names;
    for (const std::string& entry : split(environment("QT_QPA_PLATFORM"), ';')) {
        names.push_back(entry.substr(0, entry.find(':')));
    }
    if (names.empty()) {
        if (environment("XDG_SESSION_TYPE") == "wayland" ||
            !environment("WAYLAND_DISPLAY").empty()) {
            names.emplace_back("wayland");
        }
        names.emplace_back("xcb");
    }
    return names;
}

bool pluginInstalled(const std::string& platform) {
    const std::string file =
        platform == "wayland" ? "libqwayland-generic.so" : "libq" + platform + ".so";
    std::vector<std::string> folders = split(environment("QT_PLUGIN_PATH"), ':');
    folders.push_back(QLibraryInfo::path(QLibraryInfo::PluginsPath).toStdString());
    std::error_code error;
    for (const std::string& folder : folders) {
        if (std::filesystem::exists(std::filesystem::path(folder) / "platforms" / file, error)) {
            return true;
        }
    }
    return false;
}

bool xServerReachable() {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool reachable = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return reachable;
}

bool waylandSocketExists() {
    if (!environment("WAYLAND_SOCKET").empty()) {
        return true;  // handed over by the compositor as an open descriptor
    }
    std::string name = environment("WAYLAND_DISPLAY");
    if (name.empty()) {
        name = "wayland-0";  // what the Wayland client library tries then
    }
    const std::string path = name[0] == '/' ? name : environment("XDG_RUNTIME_DIR") + "/" + name;
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

}  // namespace

std::string DisplayProbe::whyNoDisplay() {
    std::string tried;
    for (const std::string& platform : platformsQtTries()) {
        const bool isX11 = platform == "xcb";
        const bool isWayland = platform.starts_with("wayland");
        std::string problem;
        if (!pluginInstalled(platform)) {
            problem = platform + " 平台插件未安装";
        } else if (isX11 && environment("DISPLAY").empty()) {
            problem = "未设置 DISPLAY";
        } else if (isX11 && !xServerReachable()) {
            problem = "无法连接 X 服务器 DISPLAY=" + environment("DISPLAY");
        } else if (isWayland && !waylandSocketExists()) {
            problem = "找不到 Wayland 套接字 WAYLAND_DISPLAY=" + environment("WAYLAND_DISPLAY");
        } else {
            return {};
        }
        tried += (tried.empty() ? "" : "；") + problem;
    }
    return tried;
}

}  // namespace orvelle
