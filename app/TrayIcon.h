#pragma once

#include <QElapsedTimer>
#include <QSystemTrayIcon>
#include <QTimer>

#include "app/TrayMenu.h"

namespace orvelle {

// The icon in the desktop's tray (a StatusNotifierItem where the desktop offers one). Its tooltip
// shows the running session's amount, brought up to date at most once a second; a click opens
// the settings window.
class TrayIcon final : public QObject {
public:
    // Offers `actions` in its menu; a click, or the menu's "打开设置", calls `openSettings`.
    TrayIcon(SalaryStore& store, const DesktopActions& actions, std::function<void()> openSettings);

    // Returns the tooltip as it stands.
    QString toolTip() const { return icon_.toolTip(); }
    TrayMenu& menu() { return menu_; }

private:
    void onStoreChanged(StoreProperty property);
    void updateToolTip();
    QString monthLine() const;

    SalaryStore& store_;
    TrayMenu menu_;
    QSystemTrayIcon icon_;
    QElapsedTimer sinceToolTip_;
    QTimer catchUp_;  // brings a tooltip held back by the once-a-second limit up to date
    bool showsWorking_ = false;
    Subscription subscription_;
};

}  // namespace orvelle
