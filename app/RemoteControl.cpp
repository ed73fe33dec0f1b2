#include "app/RemoteControl.h"

#include "app/AppDelegate.h"
#include "app/StoreCommands.h"

namespace orvelle {

std::optional<std::string> carryOut(const InstanceProtocol::Request& request, AppDelegate& delegate,
                                    SalaryStore& store) {
    switch (applyToStore(request, store)) {
        case CommandOutcome::done:
            return std::nullopt;
        case CommandOutcome::badArgument:
            return "bad-argument";
        case CommandOutcome::notForTheStore:
            break;
    }
    using Verb = InstanceProtocol::Verb;
    switch (request.verb) {
        case Verb::activate:
            delegate.openSettingsWindow();
            break;
        case Verb::show:
        case Verb::hide:
            delegate.setCapsuleShown(request.verb == Verb::show);
            break;
        case Verb::toggleCapsule:
            delegate.setCapsuleShown(!delegate.isCapsuleShown());
            break;
        default:
            return "unsupported";
    }
    return std::nullopt;
}

}  // namespace orvelle
