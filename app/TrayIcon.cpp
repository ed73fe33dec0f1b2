#include "app/TrayIcon.h"

#include <QGuiApplication>

#include "views/AmountFormat.h"
#include "views/ShownAmount.h"

namespace orvelle {

namespace {

constexpr qint64 kToolTipIntervalMs = 1000;

}  // namespace

TrayIcon::TrayIcon(SalaryStore& store, const DesktopActions& actions,
                   std::function<void()> openSettings)
    : store_(store), menu_(store, actions, openSettings), icon_(QGuiApplication::windowIcon()) {
    icon_.setContextMenu(&menu_);
    connect(&icon_, &QSystemTrayIcon::activated, this,
            [openSettings](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger) {
                    openSettings();
                }
            });
    catchUp_.setSingleShot(true);
    connect(&catchUp_, &QTimer::timeout, this, [this] { updateToolTip(); });
    updateToolTip();
    subscription_ = store_.subscribe(
        [this](StoreProperty property) { onStoreChanged(property); },
        {StoreProperty::earnedTodayDisplay, StoreProperty::menuBarEarnedText,
         StoreProperty::minutesToEnd, StoreProperty::privacy, StoreProperty::week});
    icon_.show();
}

void TrayIcon::onStoreChanged(StoreProperty property) {
    if (property == StoreProperty::privacy || property == StoreProperty::week) {
        updateToolTip();
        return;
    }
    // The amount's text, the time left, or the session's state (open, the break, overtime), which
    // the store announces with the amount while the text may stand still. A new amount is
    // announced twice, as a number and as text: the text's announcement stands for both.
    const bool stateChanged = sessionState() != shownState_;
    if (property == StoreProperty::earnedTodayDisplay
            ? !stateChanged
            : property != StoreProperty::menuBarEarnedText &&
                  property != StoreProperty::minutesToEnd) {
        return;
    }
    // The amount may change 20 times a second; a tooltip need not. A change of state shows at
    // once; an amount that comes within a second of the last shown waits for the first change
    // after that second, which costs no wake-up of its own while the amount keeps changing, or,
    // should the amount then stand still, for two seconds after the last shown.
    const qint64 since = sinceToolTip_.elapsed();
    if (stateChanged || since >= kToolTipIntervalMs) {
        updateToolTip();
    } else if (!catchUp_.isActive()) {
        catchUp_.start(static_cast<int>(2 * kToolTipIntervalMs - since));
    }
}

TrayIcon::SessionState TrayIcon::sessionState() const {
    return {store_.isWorking(), store_.isOvertime(), store_.onBreak()};
}

// The amount reads exactly as the capsule shows it, grouping and rounding included, and the rate
// is the one being paid now.
void TrayIcon::updateToolTip() {
    sinceToolTip_.start();
    catchUp_.stop();
    shownState_ = sessionState();
    const QString state = store_.isOvertime() ? QStringLiteral(" · 加班中")
                          : store_.onBreak()  ? QStringLiteral(" · 午休中")
                                              : QString();
    // The time left, or past the end "已下班"; overtime says so on the first line already.
    const QString left =
        store_.isOvertime() ? QString() : "\n" + QString::fromStdString(timeLeftText(store_));
    const std::string startsByItself = autoStartText(store_.week());
    const QString autoStart =
        startsByItself.empty() ? QString() : "\n" + QString::fromStdString(startsByItself);
    const QString tip =
        (store_.isWorking() ? QStringLiteral("Orvelle · 今日收入 ¥%1%2\n%3 元/秒%4")
                                  .arg(QString::fromStdString(shownAmount(store_)), state,
                                       QString::fromStdString(shownRate(store_)), left)
                            : QStringLiteral("Orvelle · 未在上班") + autoStart) +
        monthLine();
    if (tip != icon_.toolTip()) {
        icon_.setToolTip(tip);
    }
}

// This month's total from the history, the open session counted as it is now; nothing when no
// history is kept.
QString TrayIcon::monthLine() {
    const HistoryStore* history = store_.history();
    if (history == nullptr) {
        return {};
    }
    const double month = month_.earned(*history, store_.today(), store_.currentRecord());
    return QStringLiteral("\n本月 ¥") + QString::fromStdString(store_.privacy()
                                                                   ? std::string(kMaskedAmount)
                                                                   : formattedAmount(month));
}

}  // namespace orvelle
