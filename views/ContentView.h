#pragma once

#include <QWidget>

#include "engine/SalaryStore.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimeEdit;
class QToolButton;
class QVBoxLayout;

namespace orvelle {

// The settings page: the salary settings, the amount earned in the running session with its pay
// interval, the start/stop and save buttons, and a tip, over the pink-to-cream gradient. It keeps
// no state of its own: the controls write straight into the store, and every announcement of the
// store brings the page up to date on the next turn of the event loop. While its window is hidden
// or minimised the page does no formatting and no layout: it notes that it fell behind, and
// catches up as the window comes back into view, before it is painted.
class ContentView final : public QWidget {
    Q_OBJECT

public:
    explicit ContentView(SalaryStore& store, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildPage();
    QWidget* buildSettingsCard();
    QWidget* buildModeRow();
    QWidget* buildDaysRow();
    QWidget* buildIncomeCard();
    QWidget* buildButtonRow();
    QWidget* buildTipCard();

    void scheduleRefresh();
    void refresh();
    void catchUp();

    void chooseMode(SalaryMode mode);
    void changeEndTime();
    void stepWorkingDays(double step);

    SalaryStore& store_;
    Subscription subscription_;
    bool refreshPending_ = false;
    bool behind_ = false;  // the store changed while the page could not be seen

    QButtonGroup* modeGroup_ = nullptr;
    QLabel* amountLabel_ = nullptr;
    QLineEdit* amountField_ = nullptr;
    QLabel* amountHint_ = nullptr;
    QTimeEdit* endTime_ = nullptr;
    QWidget* daysRow_ = nullptr;
    QLabel* daysValue_ = nullptr;
    QLabel* earned_ = nullptr;
    QLabel* payInterval_ = nullptr;
    QPushButton* startStop_ = nullptr;
    QPushButton* save_ = nullptr;
};

}  // namespace orvelle
