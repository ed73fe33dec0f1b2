#pragma once

#include <functional>
#include <memory>
#include <string>

#include <QObject>

#include "app/Commands.h"
#include "app/PanelPlacement.h"
#include "engine/SalaryStore.h"
#include "platform/posix/Autostart.h"
#include "views/DesktopActions.h"

namespace orvelle {

class EndOfDayNotice;
class FloatingPanel;
class SettingsWindow;
class TrayIcon;

// Owns the application's windows: builds and places the floating panel and the tray icon once
// launching has finished, and makes the settings window on the first request and shows the same
// one after. The tray and the settings page get the actions they offer from it, and know nothing
// of it.
class AppDelegate final : public QObject {
public:
    // `store` is asked for the store when the panel is first built; `autostart` is the login
    // entry that the tray and the settings page switch.
    AppDelegate(std::function<SalaryStore&()> store, const ScreenSource& screens,
                const Autostart& autostart);
    ~AppDelegate() override;

    // Builds, places and shows the floating panel; called once the event loop runs.
    void applicationDidFinishLaunching();
    // Shows the settings window, made on the first call, in front and focused.
    void openSettingsWindow();
    // Puts the panel back where start-up puts it, forgetting where the user left it.
    void resetPanelPosition();
    // Shows or hides the floating panel; work goes on either way.
    void setCapsuleShown(bool shown);
    // Returns whether the floating panel is shown.
    bool isCapsuleShown() const;
    // Puts the panel back where start-up puts it if it lies on no screen; screen changes call it.
    void placePanelAgainIfLost();
    // Returns what the tray and the settings page offer beyond the store.
    DesktopActions desktopActions();
    // Returns what the commands of another `orvelle` may do with the windows.
    CapsuleCommands capsuleCommands();

    FloatingPanel* floatingPanel() const { return floatingPanel_.get(); }
    SettingsWindow* settingsWindow() const { return settingsWindow_.get(); }
    TrayIcon* trayIcon() const { return trayIcon_.get(); }

private:
    void createFloatingPanelIfNeeded();
    void placePanel(FloatingPanel& panel);
    // Returns the names of the screens, which a remembered place belongs to.
    std::string screenLayout() const;
    void watchScreens();

    std::function<SalaryStore&()> store_;
    const ScreenSource& screens_;
    const Autostart& autostart_;
    std::unique_ptr<FloatingPanel> floatingPanel_;
    Subscription clickThroughWatch_;  // keeps the panel's input as the store says
    std::unique_ptr<SettingsWindow> settingsWindow_;
    std::unique_ptr<TrayIcon> trayIcon_;
    std::unique_ptr<EndOfDayNotice> endOfDayNotice_;
};

}  // namespace orvelle
