#pragma once

#include <functional>
#include <memory>

#include <QObject>

#include "app/PanelPlacement.h"
#include "engine/SalaryStore.h"
#include "views/DesktopActions.h"

namespace orvelle {

class EndOfDayNotice;
class FloatingPanel;
class SettingsWindow;
class TrayIcon;

// Owns the application's windows: builds and places the floating panel and the tray icon once
// launching has finished, and makes the settings window on the first request and shows the same
// one after.
class AppDelegate final : public QObject {
public:
    static constexpr int floatingMargin = 12;
    static constexpr int dockSafetyInset = 96;
    static constexpr int topInset = 72;

    // `store` is asked for the store when the panel is first built.
    AppDelegate(std::function<SalaryStore&()> store, const ScreenSource& screens);
    ~AppDelegate() override;

    // Builds, places and shows the floating panel; called once the event loop runs.
    void applicationDidFinishLaunching();
    // Shows the settings window, made on the first call, in front and focused.
    void openSettingsWindow();
    // Puts the panel back where start-up puts it.
    void resetPanelPosition();
    // Shows or hides the floating panel; work goes on either way.
    void setCapsuleShown(bool shown);
    // Returns whether the floating panel is shown.
    bool isCapsuleShown() const;
    // Puts the panel back where start-up puts it if it lies on no screen; screen changes call it.
    void placePanelAgainIfLost();

    FloatingPanel* floatingPanel() const { return floatingPanel_.get(); }
    SettingsWindow* settingsWindow() const { return settingsWindow_.get(); }
    TrayIcon* trayIcon() const { return trayIcon_.get(); }

private:
    void createFloatingPanelIfNeeded();
    void positionPanelAtRightCenter(FloatingPanel& panel);
    void watchScreens();
    DesktopActions desktopActions();

    std::function<SalaryStore&()> store_;
    const ScreenSource& screens_;
    std::unique_ptr<FloatingPanel> floatingPanel_;
    std::unique_ptr<SettingsWindow> settingsWindow_;
    std::unique_ptr<TrayIcon> trayIcon_;
    std::unique_ptr<EndOfDayNotice> endOfDayNotice_;
};

}  // namespace orvelle
