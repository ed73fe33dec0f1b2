#pragma once

#include <string>

namespace orvelle {

// Shows the user a desktop notification.
class Notifier {
public:
    virtual ~Notifier() = default;

    // Shows `body` under the heading `summary`; where nothing can show it, nothing happens.
    virtual void notify(const std::string& summary, const std::string& body) = 0;
};

}  // namespace orvelle
