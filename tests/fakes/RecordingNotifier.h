#pragma once

#include <string>
#include <vector>

#include "platform/api/Notifier.h"

namespace orvelle::test {

// A notifier that keeps what it was asked to show.
class RecordingNotifier final : public Notifier {
public:
    struct Shown {
        std::string summary;
        std::string body;
    };

    void notify(const std::string& summary, const std::string& body) override {
        shown.push_back({summary, body});
    }

    std::vector<Shown> shown;
};

}  // namespace orvelle::test
