#pragma once

#include <functional>

#include <QMenu>

#include "engine/SalaryStore.h"
#include "views/DesktopActions.h"

namespace orvelle {

// The tray icon's menu: "打开设置", "开始上班"/"结束上班", "隐藏金额"/"显示金额", "重置位置",
// "开机自启" and "退出".
// Its titles and check mark are brought up to date each time it opens.
class TrayMenu final : public QMenu {
public:
    // Offers `actions` beside the store's own items; "打开设置" calls `openSettings`.
    TrayMenu(SalaryStore& store, DesktopActions actions, const std::function<void()>& openSettings);

    // Brings the start/stop title and the autostart check mark up to date.
    void refresh();

private:
    void setAutostart(bool enabled);

    SalaryStore& store_;
    DesktopActions actions_;
    QAction* startStop_;
    QAction* privacy_;
    QAction* autostartAction_;
    QAction* clickThrough_;
};

}  // namespace orvelle
