#include "app/TrayMenu.h"

#include <iostream>

#include <QCoreApplication>

#include "app/AppDelegate.h"
#include "engine/WorkToggle.h"

namespace orvelle {

TrayMenu::TrayMenu(AppDelegate& delegate, SalaryStore& store, const Autostart& autostart)
    : store_(store), autostart_(autostart) {
    addAction(QStringLiteral("打开设置"), &delegate,
              [&delegate] { delegate.openSettingsWindow(); });
    startStop_ = addAction(QString(), this, [this] { startOrStopWork(store_); });
    privacy_ = addAction(QString(), this, [this] { store_.setPrivacy(!store_.privacy()); });
    addAction(QStringLiteral("重置位置"), &delegate,
              [&delegate] { delegate.resetPanelPosition(); });
    autostartAction_ = addAction(QStringLiteral("开机自启"));
    autostartAction_->setCheckable(true);
    connect(autostartAction_, &QAction::triggered, this, [this](bool on) { setAutostart(on); });
    addSeparator();
    addAction(QStringLiteral("退出"), this, [] { QCoreApplication::quit(); });
    connect(this, &QMenu::aboutToShow, this, [this] { refresh(); });
    refresh();
}

void TrayMenu::refresh() {
    startStop_->setText(store_.isWorking() ? QStringLiteral("结束上班")
                                           : QStringLiteral("开始上班"));
    privacy_->setText(store_.privacy() ? QStringLiteral("显示金额") : QStringLiteral("隐藏金额"));
    autostartAction_->setChecked(autostart_.isEnabled());
}

void TrayMenu::setAutostart(bool enabled) {
    const std::string error = enabled ? autostart_.enable() : autostart_.disable();
    if (!error.empty()) {
        std::cerr << "orvelle: " << error << "\n";
    }
    autostartAction_->setChecked(autostart_.isEnabled());
}

}  // namespace orvelle
