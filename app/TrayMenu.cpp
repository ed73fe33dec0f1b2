#include "app/TrayMenu.h"

#include <iostream>

#include <QCoreApplication>

#include "engine/WorkToggle.h"

namespace orvelle {

TrayMenu::TrayMenu(SalaryStore& store, DesktopActions actions,
                   const std::function<void()>& openSettings)
    : store_(store), actions_(std::move(actions)) {
    addAction(QStringLiteral("打开设置"), this, openSettings);
    startStop_ = addAction(QString(), this, [this] { startOrStopWork(store_); });
    privacy_ = addAction(QString(), this, [this] { store_.setPrivacy(!store_.privacy()); });
    addAction(QStringLiteral("重置位置"), this, actions_.resetPanelPosition);
    clickThrough_ = addAction(QStringLiteral("鼠标穿透"), this,
                              [this](bool on) { store_.setClickThrough(on); });
    clickThrough_->setCheckable(true);
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
    autostartAction_->setChecked(actions_.autostartEnabled());
    clickThrough_->setChecked(store_.clickThrough());
}

void TrayMenu::setAutostart(bool enabled) {
    if (const std::string error = actions_.setAutostart(enabled); !error.empty()) {
        std::cerr << "orvelle: " << error << "\n";
    }
    autostartAction_->setChecked(actions_.autostartEnabled());
}

}  // namespace orvelle
