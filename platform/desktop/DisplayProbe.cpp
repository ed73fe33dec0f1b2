#include "platform/desktop/DisplayProbe.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
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
std::vector<std::string> platformsQtTries(const std::string& chosen) {
    std::vector<std::string> names;
    const std::string list = chosen.empty() ? environment("QT_QPA_PLATFORM") : chosen;
    for (const std::string& entry : split(list, ';')) {
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

// Returns what keeps the X server `display` from being used, empty when nothing does. A server
// that lacks the screen the name asks for (":0.1") is as unusable to Qt as none at all.
std::string xServerProblem(const std::string& display) {
    int screen = 0;
    xcb_connection_t* connection = xcb_connect(display.c_str(), &screen);
    std::string problem;
    if (xcb_connection_has_error(connection) != 0) {
        problem = "无法连接 X 服务器 " + display;
    } else if (screen < 0 || screen >= xcb_setup_roots_length(xcb_get_setup(connection))) {
        problem = "X 服务器 " + display + " 没有屏幕 " + std::to_string(screen);
    }
    xcb_disconnect(connection);
    return problem;
}

// Whether a compositor listens where the Wayland client library looks: a socket file left by
// one that ended answers no connection.
bool compositorListens() {
    if (!environment("WAYLAND_SOCKET").empty()) {
        return true;  // handed over by the compositor as an open descriptor
    }
    std::string name = environment("WAYLAND_DISPLAY");
    if (name.empty()) {
        name = "wayland-0";  // what the Wayland client library tries then
    }
    const std::string path = name[0] == '/' ? name : environment("XDG_RUNTIME_DIR") + "/" + name;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        return false;
    }
    path.copy(address.sun_path, path.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool listens =
        fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    return listens;
}

}  // namespace

std::string DisplayProbe::whyNoDisplay(const Options& options) {
    std::string tried;
    const std::string display = options.display.empty() ? environment("DISPLAY") : options.display;
    for (const std::string& platform : platformsQtTries(options.platform)) {
        const bool isX11 = platform == "xcb";
        const bool isWayland = platform.starts_with("wayland");
        std::string problem;
        if (!pluginInstalled(platform)) {
            problem = platform + " 平台插件未安装";
        } else if (isX11 && display.empty()) {
            problem = "未设置 DISPLAY";
        } else if (isX11) {
            problem = xServerProblem(display);
        } else if (isWayland && !compositorListens()) {
            problem = "没有 Wayland 合成器在 WAYLAND_DISPLAY=" + environment("WAYLAND_DISPLAY") +
                      " 上监听";
        }
        if (problem.empty()) {
            return {};
        }
        tried += (tried.empty() ? "" : "；") + problem;
    }
    return tried;
}

}  // namespace orvelle
