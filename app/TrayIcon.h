#pragma once

#include <QElapsedTimer>
#include <QSystemTrayIcon>

#include "app/TrayMenu.h"

namespace orvelle {

// The icon in the desktop's tray (a StatusNotifierItem where the desktop offers one). Its tooltip
// shows the running session's amount, brought up to date at most once a second; a click opens
// the settings window.
class TrayIcon final : public QObject {
public:
    TrayIcon(AppDelegate& delegate, SalaryStore& store);

    // Returns the tooltip for a session that is running or not, with the amount as the capsule

    // Returns the tooltip as it stands.
    QString toolTip() const { return icon_.toolTip(); }
    TrayMenu& menu() { return menu_; }
    const Autostart& autostart() const { return autostart_; }

private:
    void onStoreChanged(StoreProperty property);
    void updateToolTip();

    SalaryStore& store_;
    Autostart autostart_;
    TrayMenu menu_;
    QSystemTrayIcon icon_;
    QElapsedTimer sinceToolTip_;
    bool showsWorking_ = false;
    Subscription subscription_;
};

}  // namespace orvelle
