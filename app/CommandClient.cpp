#include "app/CommandClient.h"

#include <iostream>

#include "app/StoreCommands.h"
#include "engine/SalaryStore.h"
#include "platform/InertScheduler.h"
#include "platform/JsonFilePreferences.h"
#include "platform/SingleInstance.h"
#include "platform/SystemCalendar.h"
#include "platform/SystemClock.h"

namespace orvelle {

namespace {

int carryOutOnTheFile(const InstanceProtocol::Request& request) {
    const SystemClock clock;
    const SystemCalendar calendar;
    InertScheduler scheduler;
    JsonFilePreferences preferences(JsonFilePreferences::defaultPath(), std::cerr);
    SalaryStore store(StoreServices{preferences, clock, calendar, scheduler});
    switch (applyToStore(request, store)) {
        case CommandOutcome::done:
            return 0;
        case CommandOutcome::badArgument:
            std::cerr << "orvelle: 参数无效\n";
            return 2;
        case CommandOutcome::notForTheStore:
            break;
    }
    std::cerr << "orvelle: Orvelle 没有在运行，这个命令需要正在运行的悬浮胶囊\n";
    return 1;
}

}  // namespace

int runCommand(const InstanceProtocol::Request& request, const std::filesystem::path& runtime) {
    SingleInstance instance(runtime);
    switch (instance.deliver(request)) {
        case SingleInstance::Role::secondary:
            return 0;
        case SingleInstance::Role::failed:
            std::cerr << instance.error() << "\n";
            return 1;
        case SingleInstance::Role::primary:
            break;  // none runs, and none starts while the lock is held
    }
    return carryOutOnTheFile(request);
}

}  // namespace orvelle
