#pragma once

#include <string>
#include <vector>

#include "platform/api/Notifier.h"

namespace orvelle::test {

// A notifier that keeps what it was asked to show.
struct RecordingNotifier final : Notifier {
    struct Shown {
        std::string summary, body;
    };
    void notify(const std::string& summary, const std::string& body) override {
        shown.push_back({summary, body});
    }
    std::vector<Shown> shown;
};

}  // namespace orvelle::test
