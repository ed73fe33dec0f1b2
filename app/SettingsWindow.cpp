#include "app/SettingsWindow.h"

#include <QVBoxLayout>

#include "views/SettingsPages.h"

namespace orvelle {

SettingsWindow::SettingsWindow(SalaryStore& store, DesktopActions desktop)
    : QWidget(nullptr, Qt::Window) {
    setWindowTitle(QStringLiteral("Orvelle设置"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new SettingsPages(store, std::move(desktop)));
    resize(kInitialContentSize);
}

void SettingsWindow::present() {
    if (isMinimized()) {
        showNormal();
    } else {
        show();
    }
    raise();
    activateWindow();
}

}  // namespace orvelle
