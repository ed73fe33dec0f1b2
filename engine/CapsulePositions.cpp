#include "engine/CapsulePositions.h"

#include <charconv>
#include <vector>

namespace orvelle {

namespace {

struct Entry {
    std::string_view layout;
    DesktopPoint at;
};

std::optional<int> number(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

std::optional<Entry> parseEntry(std::string_view text) {
    const size_t at = text.rfind('@');
    const size_t comma = text.rfind(',');
    if (at == std::string_view::npos || at == 0 || comma == std::string_view::npos || comma < at) {
        return std::nullopt;
    }
    const auto x = number(text.substr(at + 1, comma - at - 1));
    const auto y = number(text.substr(comma + 1));
    if (!x || !y) {
        return std::nullopt;
    }
    return Entry{text.substr(0, at), {*x, *y}};
}

std::vector<Entry> parse(std::string_view stored) {
    std::vector<Entry> entries;
    while (!stored.empty()) {
        const size_t end = std::min(stored.find(';'), stored.size());
        if (const auto entry = parseEntry(stored.substr(0, end))) {
            entries.push_back(*entry);
        }
        stored.remove_prefix(std::min(end + 1, stored.size()));
    }
    return entries;
}

}  // namespace

std::optional<DesktopPoint> CapsulePositions::find(std::string_view stored,
                                                   std::string_view layout) {
    for (const Entry& entry : parse(stored)) {
        if (entry.layout == layout) {
            return entry.at;
        }
    }
    return std::nullopt;
}

std::string CapsulePositions::with(std::string_view stored, std::string_view layout,
                                   DesktopPoint at) {
    std::string text =
        std::string(layout) + "@" + std::to_string(at.x) + "," + std::to_string(at.y);
    int kept = 1;
    for (const Entry& entry : parse(stored)) {
        // A layout's name holds neither ";" nor "@", or it could not be found again.
        if (entry.layout == layout || kept == kMostLayouts) {
            continue;
        }
        text += ";" + std::string(entry.layout) + "@" + std::to_string(entry.at.x) + "," +
                std::to_string(entry.at.y);
        ++kept;
    }
    return text;
}

}  // namespace orvelle
