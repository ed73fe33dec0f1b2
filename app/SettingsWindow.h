#pragma once

#include <QWidget>

#include "engine/SalaryStore.h"
#include "views/DesktopActions.h"

namespace orvelle {

// The titled, resizable window that hosts the settings page. Closing it only hides it, so the
// next request shows the same window with the size and place the user gave it.
class SettingsWindow final : public QWidget {
public:
    static constexpr QSize kInitialContentSize{460, 420};

    // `desktop` is offered on the page's last card.
    explicit SettingsWindow(SalaryStore& store, DesktopActions desktop = {});

    // Shows the window, brings it to the front and gives it the keyboard focus.
    void present();
};

}  // namespace orvelle
