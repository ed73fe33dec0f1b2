#pragma once

#include <QWidget>

#include "engine/SalaryStore.h"
#include "views/DesktopActions.h"

class QButtonGroup;
class QStackedWidget;

namespace orvelle {

// The settings window's content: a row of page buttons at the top right ("薪资", "工作日", "胶囊",
// "历史")
// over one page at a time. The salary page is the settings page as designed; what Orvelle adds (the
// working day; the capsule's size, opacity and privacy, autostart and its position; the history of
// days worked) has a page of its own, so that the designed page stays whole. It opens on the salary
// page.
class SettingsPages final : public QWidget {
    Q_OBJECT

public:
    // The pages, in the order of their buttons.
    enum class Page { salary, workday, capsule, history };

    SettingsPages(SalaryStore& store, DesktopActions desktop, QWidget* parent = nullptr);

    // Shows `page` and checks its button.
    void showPage(Page page);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* buildButtonRow();
    QWidget* buildWorkdayPage(SalaryStore& store);
    QWidget* buildCapsulePage(SalaryStore& store, DesktopActions desktop);

    QButtonGroup* buttons_;
    QStackedWidget* pages_;
    QWidget* buttonRow_;
};

}  // namespace orvelle
