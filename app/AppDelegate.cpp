#include "app/AppDelegate.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <iostream>

#include "app/EndOfDayNotice.h"
#include "app/FloatingPanel.h"
#include "app/SettingsWindow.h"
#include "app/TrayIcon.h"
#include "platform/desktop/DesktopNotifier.h"
#include "views/FloatingAmountView.h"

namespace orvelle {

namespace {

// Time for a window manager to have moved its windows after a change of screens.
constexpr std::chrono::milliseconds kWindowManagerSettles{1000};

}  // namespace

AppDelegate::AppDelegate(std::function<SalaryStore&()> store, const ScreenSource& screens,
                         const Autostart& autostart)
    : store_(std::move(store)), screens_(screens), autostart_(autostart) {}

// The windows go before the store's users do: the panel's view holds a subscription to the store.
AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationDidFinishLaunching() {
    if (floatingPanel_) {
        return;
    }
    createFloatingPanelIfNeeded();
    // Made even without a tray: Qt adds the icon by itself when a tray appears later.
    trayIcon_ =
        std::make_unique<TrayIcon>(store_(), desktopActions(), [this] { openSettingsWindow(); });
    endOfDayNotice_ = std::make_unique<EndOfDayNotice>(
        store_(), std::make_unique<DesktopNotifier>(QGuiApplication::desktopFileName(), std::cerr));
    watchScreens();
}

void AppDelegate::createFloatingPanelIfNeeded() {
    if (floatingPanel_) {
        return;
    }
    SalaryStore& store = store_();
    auto* view = new FloatingAmountView(
        store, [this] { openSettingsWindow(); }, [] { QCoreApplication::quit(); });
    auto panel = std::make_unique<FloatingPanel>(view);
    panel->onDraggedTo([this](QPoint topLeft) {
        store_().setCapsulePosition(screenLayout(), {topLeft.x(), topLeft.y()});
    });
    panel->prepareNativeWindow();
    panel->setClickThrough(store.clickThrough());
    clickThroughWatch_ = store.subscribe(
        [this](StoreProperty) {
            if (floatingPanel_) {
                floatingPanel_->setClickThrough(store_().clickThrough());
            }
        },
        {StoreProperty::capsuleLook});
    placePanel(*panel);
    panel->show();
    floatingPanel_ = std::move(panel);
}

// Where the user left the capsule on these same screens, if remembered and still on one of them;
// else where start-up puts it.
void AppDelegate::placePanel(FloatingPanel& panel) {
    if (const auto left = store_().capsulePosition(screenLayout())) {
        const QRect there(QPoint(left->x, left->y), panel.frameGeometry().size());
        if (centreLiesOnAScreen(screens_, there)) {
            panel.placeAt(there.topLeft());
            return;
        }
    }
    if (const auto topLeft = panelTopLeft(screens_, panel.frameGeometry().size(), PanelInsets{})) {
        panel.placeAt(*topLeft);
        return;
    }
    // No screen at all: the centre of whatever the window system offers.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        panel.move(screen->geometry().center() - panel.rect().center());
    }
}

void AppDelegate::resetPanelPosition() {
    store_().forgetCapsulePositions();
    if (floatingPanel_) {
        placePanel(*floatingPanel_);
    }
}

void AppDelegate::setCapsuleShown(bool shown) {
    if (!floatingPanel_ || shown == isCapsuleShown()) {
        return;
    }
    if (shown) {
        // A withdrawn window loses its workspace states; they are set again before it maps.
        floatingPanel_->prepareNativeWindow();
        floatingPanel_->show();
    } else {
        floatingPanel_->hide();
    }
}

bool AppDelegate::isCapsuleShown() const {
    return floatingPanel_ && floatingPanel_->isVisible();
}

// The panel is the application's only permanent window: if the screen it sat on goes away, it
// comes back where start-up puts it instead of staying out of reach.
void AppDelegate::placePanelAgainIfLost() {
    if (floatingPanel_ && !centreLiesOnAScreen(screens_, floatingPanel_->frameGeometry())) {
        placePanel(*floatingPanel_);
    }
}

std::string AppDelegate::screenLayout() const {
    std::string layout;
    for (const ScreenGeometry& screen : screens_.screens()) {
        const QRect& frame = screen.frame;
        layout += (layout.empty() ? "" : "|") + std::to_string(frame.width()) + "x" +
                  std::to_string(frame.height()) + "+" + std::to_string(frame.x()) + "+" +
                  std::to_string(frame.y());
    }
    return layout;
}

void AppDelegate::watchScreens() {
    // Queued, so that Qt has finished updating its list of screens when the check runs; and once
    // more when the window manager, which moves windows off a lost screen its own way, is done.
    const auto check = [this] {
        QTimer::singleShot(0, this, [this] { placePanelAgainIfLost(); });
        QTimer::singleShot(kWindowManagerSettles, this, [this] { placePanelAgainIfLost(); });
    };
    const auto watch = [this, check](QScreen* screen) {
        connect(screen, &QScreen::geometryChanged, this, check);
        connect(screen, &QScreen::availableGeometryChanged, this, check);
    };
    for (QScreen* screen : QGuiApplication::screens()) {
        watch(screen);
    }
    connect(qApp, &QGuiApplication::screenAdded, this, [check, watch](QScreen* screen) {
        watch(screen);
        check();
    });
    connect(qApp, &QGuiApplication::screenRemoved, this, check);
}

void AppDelegate::openSettingsWindow() {
    if (!settingsWindow_) {
        settingsWindow_ = std::make_unique<SettingsWindow>(store_(), desktopActions());
    }
    settingsWindow_->present();
}

// The settings page offers what the tray menu does, for desktops without a tray.
DesktopActions AppDelegate::desktopActions() {
    DesktopActions actions;
    actions.resetPanelPosition = [this] { resetPanelPosition(); };
    actions.autostartEnabled = [this] { return autostart_.isEnabled(); };
    actions.setAutostart = [this](bool on) {
        return on ? autostart_.enable() : autostart_.disable();
    };
    return actions;
}

CapsuleCommands AppDelegate::capsuleCommands() {
    return {[this] { openSettingsWindow(); }, [this](bool shown) { setCapsuleShown(shown); },
            [this] { return isCapsuleShown(); }};
}

}  // namespace orvelle
