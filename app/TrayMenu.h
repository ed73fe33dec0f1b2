#pragma once

#include <QMenu>

#include "engine/SalaryStore.h"
#include "platform/posix/Autostart.h"

namespace orvelle {

class AppDelegate;

// The tray icon's menu: "打开设置", "开始上班"/"结束上班", "隐藏金额"/"显示金额", "重置位置",
// "开机自启" and "退出".
// Its titles and check mark are brought up to date each time it opens.
class TrayMenu final : public QMenu {
public:
    TrayMenu(AppDelegate& delegate, SalaryStore& store, const Autostart& autostart);

    // Brings the start/stop title and the autostart check mark up to date.
    void refresh();

private:
    void setAutostart(bool enabled);

    SalaryStore& store_;
    const Autostart& autostart_;
    QAction* startStop_;
    QAction* privacy_;
    QAction* autostartAction_;
};

}  // namespace orvelle
