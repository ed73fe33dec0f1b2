#pragma once

#include <QWidget>

#include "views/DesktopActions.h"

class QCheckBox;
class QLabel;
class QVBoxLayout;

namespace orvelle {

// The settings page's "桌面" card: a titled card of rows, each a caption on the left and its
// control on the right. It holds "开机自启" and "重置位置", so that both can be reached on desktops
// without a tray.
class DesktopCard final : public QWidget {
public:
    explicit DesktopCard(DesktopActions actions, QWidget* parent = nullptr);

    // Adds a row with `caption` at the left and `control` at the right, below the rows there; the
    // caption names the control for screen readers, or describes a button named by its text.
    void addRow(const QString& caption, QWidget* control);

protected:
    // The autostart entry may have changed on disk or through the tray since the card was shown.
    void showEvent(QShowEvent* event) override;

private:
    void refreshAutostart();
    void setAutostart(bool on);

    DesktopActions actions_;
    QVBoxLayout* rows_;
    QCheckBox* autostart_ = nullptr;
    QLabel* error_;
};

}  // namespace orvelle
