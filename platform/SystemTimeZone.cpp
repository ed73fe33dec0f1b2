#include "platform/SystemTimeZone.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cstdlib>
#include <fstream>
#include <memory>

#include <unicode/timezone.h>
#include <unicode/unistr.h>

namespace orvelle {

namespace {

constexpr const char* kLocaltime = "/etc/localtime";

std::string readLink(const char* path) {
    char target[4096];
    const ssize_t length = ::readlink(path, target, sizeof target);
    return length > 0 ? std::string(target, static_cast<size_t>(length)) : std::string{};
}

// "…/zoneinfo/Europe/Berlin" names "Europe/Berlin"; anything else is returned as it is.
std::string zoneFromPath(const std::string& path) {
    const auto at = path.rfind("zoneinfo/");
    return at == std::string::npos ? path : path.substr(at + 9);
}

// What changes whenever the system's zone setting changes, cheap to read.
std::string fingerprintNow() {
    if (const char* tz = std::getenv("TZ")) {
        return std::string("TZ=") + tz;
    }
    struct stat info {};
    std::string print = readLink(kLocaltime);
    if (::lstat(kLocaltime, &info) == 0) {
        print += "|" + std::to_string(info.st_ino) + "|" + std::to_string(info.st_mtim.tv_sec) +
                 "." + std::to_string(info.st_mtim.tv_nsec);
    }
    return print;
}

std::string hostZoneFromIcu() {
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::detectHostTimeZone());
    icu::UnicodeString id;
    zone->getID(id);
    std::string text;
    id.toUTF8String(text);
    return text;
}

std::string resolveZoneId() {
    if (const char* tz = std::getenv("TZ")) {
        std::string value = tz;
        if (!value.empty() && value.front() == ':') {
            value.erase(0, 1);
        }
        // An empty TZ means UTC to the C library, and so it does here.
        return value.empty() ? std::string("UTC") : zoneFromPath(value);
    }
    if (const std::string link = readLink(kLocaltime); !link.empty()) {
        return zoneFromPath(link);
    }
    std::ifstream named("/etc/timezone");
    std::string line;
    if (named && std::getline(named, line) && !line.empty()) {
        return line;
    }
    return hostZoneFromIcu();
}

}  // namespace

SystemTimeZone::SystemTimeZone(std::chrono::steady_clock::duration recheckInterval)
    : recheckInterval_(recheckInterval) {}

std::string SystemTimeZone::currentZoneId() const {
    const auto now = std::chrono::steady_clock::now();
    if (checked_ && now - lastCheck_ < recheckInterval_) {
        return zoneId_;
    }
    checked_ = true;
    lastCheck_ = now;
    std::string print = fingerprintNow();
    if (print != fingerprint_ || zoneId_.empty()) {
        fingerprint_ = std::move(print);
        zoneId_ = resolveZoneId();
    }
    return zoneId_;
}

}  // namespace orvelle
