#include "app/StoreCommands.h"

#include "engine/WorkToggle.h"

namespace orvelle {

namespace {

CommandOutcome setPrivacy(const std::string& value, SalaryStore& store) {
    if (value == "on" || value == "off") {
        store.setPrivacy(value == "on");
    } else if (value == "toggle") {
        store.setPrivacy(!store.privacy());
    } else {
        return CommandOutcome::badArgument;
    }
    return CommandOutcome::done;
}

}  // namespace

CommandOutcome applyToStore(const InstanceProtocol::Request& request, SalaryStore& store) {
    using Verb = InstanceProtocol::Verb;
    switch (request.verb) {
        case Verb::startWork:
            if (!store.isWorking()) {
                startOrStopWork(store);
            }
            return CommandOutcome::done;
        case Verb::stopWork:
            store.stopWork();
            return CommandOutcome::done;
        case Verb::toggleWork:
            startOrStopWork(store);
            return CommandOutcome::done;
        case Verb::privacy:
            return setPrivacy(request.arguments.at(0), store);
        case Verb::activate:
        case Verb::show:
        case Verb::hide:
        case Verb::toggleCapsule:
            break;
    }
    return CommandOutcome::notForTheStore;
}

}  // namespace orvelle
