#include "platform/posix/InstanceProtocol.h"

#include <algorithm>
#include <array>
#include <utility>

namespace orvelle {

namespace {

constexpr std::string_view kVersion = "orvelle/1";

struct VerbSpec {
    InstanceProtocol::Verb verb;
    std::string_view name;
    std::size_t arguments;
};

constexpr std::array kVerbs{
    VerbSpec{InstanceProtocol::Verb::activate, "activate", 0},
    VerbSpec{InstanceProtocol::Verb::startWork, "start-work", 0},
    VerbSpec{InstanceProtocol::Verb::stopWork, "stop-work", 0},
    VerbSpec{InstanceProtocol::Verb::toggleWork, "toggle-work", 0},
    VerbSpec{InstanceProtocol::Verb::show, "show", 0},
    VerbSpec{InstanceProtocol::Verb::hide, "hide", 0},
    VerbSpec{InstanceProtocol::Verb::toggleCapsule, "toggle-capsule", 0},
    VerbSpec{InstanceProtocol::Verb::privacy, "privacy", 1},
    VerbSpec{InstanceProtocol::Verb::clickThrough, "click-through", 1},
    VerbSpec{InstanceProtocol::Verb::overnight, "overnight", 1},
    VerbSpec{InstanceProtocol::Verb::autoStart, "auto-start", 1},
    VerbSpec{InstanceProtocol::Verb::countdown, "countdown", 1},
};

// Splits on single spaces; an empty word (two spaces in a row, or one at either end) makes the
// line malformed rather than being skipped, so that every request has one spelling.
std::optional<std::vector<std::string_view>> words(std::string_view line) {
    std::vector<std::string_view> result;
    while (true) {
        const std::size_t space = line.find(' ');
        const std::string_view word = line.substr(0, space);
        if (word.empty()) {
            return std::nullopt;
        }
        result.push_back(word);
        if (space == std::string_view::npos) {
            return result;
        }
        line.remove_prefix(space + 1);
    }
}

std::optional<InstanceProtocol::Request> refuse(std::string* why, std::string_view reason) {
    if (why != nullptr) {
        *why = reason;
    }
    return std::nullopt;
}

}  // namespace

std::optional<InstanceProtocol::Request> InstanceProtocol::parseRequest(std::string_view line,
                                                                        std::string* why) {
    const auto parts = words(line);
    if (!parts || parts->size() < 2) {
        return refuse(why, "malformed");
    }
    if ((*parts)[0] != kVersion) {
        return refuse(why, "unsupported-version");
    }
    const auto spec = std::find_if(kVerbs.begin(), kVerbs.end(),
                                   [&](const VerbSpec& s) { return s.name == (*parts)[1]; });
    if (spec == kVerbs.end()) {
        return refuse(why, "unknown-verb");
    }
    if (parts->size() - 2 != spec->arguments) {
        return refuse(why, "wrong-arguments");
    }
    return Request{spec->verb, std::vector<std::string>(parts->begin() + 2, parts->end())};
}

std::string InstanceProtocol::requestLine(const Request& request) {
    const auto spec = std::find_if(kVerbs.begin(), kVerbs.end(),
                                   [&](const VerbSpec& s) { return s.verb == request.verb; });
    std::string line = std::string(kVersion) + " " + std::string(spec->name);
    for (const std::string& argument : request.arguments) {
        line += " " + argument;
    }
    return line + "\n";
}

std::string InstanceProtocol::okLine() {
    return std::string(kVersion) + " ok\n";
}

std::string InstanceProtocol::errorLine(std::string_view reason) {
    std::string line(kVersion);
    line.append(" error ").append(reason).append("\n");
    return line;
}

bool InstanceProtocol::isOk(std::string_view line) {
    return line == okLine().substr(0, okLine().size() - 1);
}

bool LineSplitter::feed(std::string_view bytes, std::vector<std::string>& lines) {
    while (!overflowed_ && !bytes.empty()) {
        const std::size_t newline = bytes.find('\n');
        const std::size_t take = std::min(bytes.size(), newline);
        if (pending_.size() + take > maxLineLength_) {
            overflowed_ = true;
            pending_.clear();
            break;
        }
        pending_.append(bytes.substr(0, take));
        if (newline == std::string_view::npos) {
            break;
        }
        if (!pending_.empty() && pending_.back() == '\r') {
            pending_.pop_back();
        }
        lines.push_back(std::exchange(pending_, {}));
        bytes.remove_prefix(newline + 1);
    }
    return !overflowed_;
}

}  // namespace orvelle
