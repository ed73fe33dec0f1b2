#include "app/Commands.h"

#include <iostream>
#include <sstream>

#include "app/SharedSalaryStore.h"
#include "engine/WorkToggle.h"
#include "platform/api/InertScheduler.h"
#include "platform/desktop/SingleInstance.h"
#include "platform/posix/JsonFilePreferences.h"
#include "platform/posix/RuntimeFolder.h"
#include "platform/posix/SystemCalendar.h"
#include "platform/posix/SystemClock.h"
#include "platform/sqlite/SqliteHistory.h"

namespace orvelle {

namespace {

constexpr const char* kBadArgument = "bad-argument";
constexpr const char* kNeedsCapsule = "unsupported";

// A command with no capsule ends at once, so what it could not store is lost: it says so and
// fails, rather than print what a capsule would (that the values live on in memory).
int carryOutOnTheFile(const InstanceProtocol::Request& request) {
    const SystemClock clock;
    const SystemCalendar calendar;
    InertScheduler scheduler;
    std::ostringstream diagnostics;
    JsonFilePreferences preferences(JsonFilePreferences::defaultPath(), diagnostics);
    // The settings file's lock is held: this process is the history's one writer too.
    SqliteHistory history(historyPath(), HistoryAccess::readWrite);
    SalaryStore store(
        StoreServices{preferences, clock, calendar, scheduler, &history, &diagnostics});
    const std::optional<std::string> refused = Commands(store).carryOut(request);
    if (refused == kBadArgument) {
        std::cerr << "orvelle: 参数无效\n";
        return 2;
    }
    if (!preferences.unsaved().empty()) {
        std::cerr << "orvelle: 无法保存设置：" << preferences.unsaved() << "\n";
        return 1;
    }
    std::cerr << diagnostics.str();
    if (refused) {
        std::cerr << "orvelle: Orvelle 没有在运行，这个命令需要正在运行的悬浮胶囊\n";
        return 1;
    }
    return 0;
}

}  // namespace

Commands::Commands(SalaryStore& store, CapsuleCommands capsule)
    : store_(store), capsule_(std::move(capsule)) {}

std::optional<std::string> Commands::carryOut(const InstanceProtocol::Request& request) {
    using Verb = InstanceProtocol::Verb;
    switch (request.verb) {
        case Verb::startWork:
            if (!store_.isWorking()) {
                startOrStopWork(store_);
            }
            return std::nullopt;
        case Verb::stopWork:
            store_.stopWork();
            return std::nullopt;
        case Verb::toggleWork:
            startOrStopWork(store_);
            return std::nullopt;
        case Verb::privacy:
            return setSwitch(request.arguments.at(0), store_.privacy(),
                             [this](bool on) { store_.setPrivacy(on); });
        case Verb::clickThrough:
            return setSwitch(request.arguments.at(0), store_.clickThrough(),
                             [this](bool on) { store_.setClickThrough(on); });
        case Verb::overnight:
            return setWeekSwitch(request.arguments.at(0), &WorkingWeek::overnight);
        case Verb::autoStart:
            return setWeekSwitch(request.arguments.at(0), &WorkingWeek::autoStart);
        case Verb::countdown:
            return setWeekSwitch(request.arguments.at(0), &WorkingWeek::showCountdown);
        case Verb::activate:
        case Verb::show:
        case Verb::hide:
        case Verb::toggleCapsule:
            break;
    }
    if (!capsule_.openSettings) {
        return kNeedsCapsule;
    }
    if (request.verb == Verb::activate) {
        capsule_.openSettings();
    } else {
        capsule_.showCapsule(request.verb == Verb::toggleCapsule ? !capsule_.capsuleShown()
                                                                 : request.verb == Verb::show);
    }
    return std::nullopt;
}

std::optional<std::string> Commands::setSwitch(const std::string& value, bool now,
                                               const std::function<void(bool)>& set) {
    if (value == "on" || value == "off") {
        set(value == "on");
    } else if (value == "toggle") {
        set(!now);
    } else {
        return kBadArgument;
    }
    return std::nullopt;
}

// The working week is saved as the settings page saves it, with the settings as they stand.
std::optional<std::string> Commands::setWeekSwitch(const std::string& value,
                                                   bool WorkingWeek::*setting) {
    return setSwitch(value, store_.week().*setting, [this, setting](bool on) {
        WorkingWeek week = store_.week();
        week.*setting = on;
        store_.setWeek(week);
        store_.saveSettings();
    });
}

int Commands::send(const InstanceProtocol::Request& request) {
    const RuntimeFolder::Choice runtime =
        RuntimeFolder::choose(RuntimeFolder::candidatesFromEnvironment());
    if (!runtime.error.empty()) {
        std::cerr << runtime.error << "\n";
        return 1;
    }
    SingleInstance instance(JsonFilePreferences::defaultPath(), runtime.folder);
    switch (instance.deliver(request)) {
        case SingleInstance::Role::secondary:
            return 0;
        case SingleInstance::Role::failed:
            std::cerr << instance.error() << "\n";
            return 1;
        case SingleInstance::Role::primary:
            break;  // none runs, and nothing else writes the file while the lock is held
    }
    return carryOutOnTheFile(request);
}

}  // namespace orvelle
