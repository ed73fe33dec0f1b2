#pragma once

#include <QElapsedTimer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <tuple>

#include "app/TrayMenu.h"
#include "engine/MonthToDate.h"

namespace orvelle {

// The icon in the desktop's tray (a StatusNotifierItem where the desktop offers one). Its tooltip
// shows the running session's amount, brought up to date at most once a second, and its state
// at once; a click opens the settings window.
class TrayIcon final : public QObject {
public:
    // Offers `actions` in its menu; a click, or the menu's "打开设置", calls `openSettings`.
    TrayIcon(SalaryStore& store, const DesktopActions& actions, std::function<void()> openSettings);

    // Returns the tooltip as it stands.
    QString toolTip() const { return icon_.toolTip(); }
    TrayMenu& menu() { return menu_; }

private:
    // Whether a session is open, in overtime, in the break.
    using SessionState = std::tuple<bool, bool, bool>;

    void onStoreChanged(StoreProperty property);
    SessionState sessionState() const;
    void updateToolTip();
    QString monthLine();

    SalaryStore& store_;
    TrayMenu menu_;
    QSystemTrayIcon icon_;
    QElapsedTimer sinceToolTip_;
    QTimer catchUp_;  // brings a tooltip held back by the once-a-second limit up to date
    MonthToDate month_;
    SessionState shownState_;
    Subscription subscription_;
};

}  // namespace orvelle
