#include "app/CommandClient.h"

#include <iostream>
#include <sstream>

#include "app/StoreCommands.h"
#include "engine/SalaryStore.h"
#include "platform/api/InertScheduler.h"
#include "platform/desktop/SingleInstance.h"
#include "platform/posix/JsonFilePreferences.h"
#include "platform/posix/SystemCalendar.h"
#include "platform/posix/SystemClock.h"

namespace orvelle {

namespace {

// A command with no capsule ends at once, so what it could not store is lost: it says so and
// fails, rather than print what a capsule would (that the values live on in memory).
int carryOutOnTheFile(const InstanceProtocol::Request& request) {
    const SystemClock clock;
    const SystemCalendar calendar;
    InertScheduler scheduler;
    std::ostringstream diagnostics;
    JsonFilePreferences preferences(JsonFilePreferences::defaultPath(), diagnostics);
    SalaryStore store(StoreServices{preferences, clock, calendar, scheduler});
    const CommandOutcome outcome = applyToStore(request, store);
    if (outcome != CommandOutcome::badArgument && !preferences.unsaved().empty()) {
        std::cerr << "orvelle: 无法保存设置：" << preferences.unsaved() << "\n";
        return 1;
    }
    std::cerr << diagnostics.str();
    switch (outcome) {
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
    SingleInstance instance(JsonFilePreferences::defaultPath(), runtime);
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
