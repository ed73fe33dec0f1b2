#pragma once

#include <QWidget>

#include "engine/SalaryStore.h"
#include "platform/api/HistoryStore.h"

class QLabel;
class QGridLayout;

namespace orvelle {

class HistoryChart;

// The settings window's "历史" page: what today, this week and this month earned (amount, hours,
// days worked), the average of this month's days worked, a chart of the last 30 days, and an
// export of every day to CSV. The open session counts up to now; a stopped day stays in view.
// While nobody can see the page it reads nothing.
class HistoryPage final : public QWidget {
public:
    // Shows the history `store` keeps (none: the page says it is not kept).
    explicit HistoryPage(SalaryStore& store, QWidget* parent = nullptr);

    // Returns the text shown in the cell of `row` ("today", "week", "month") and `column`
    // ("amount", "hours", "days").
    QString figure(const char* row, const char* column) const;

private:
    QWidget* buildFigures();
    QWidget* buildFooter();
    void refresh();
    void exportCsv();

    SalaryStore& store_;
    const HistoryStore* history_;
    QGridLayout* figures_ = nullptr;
    QLabel* average_ = nullptr;
    QLabel* problem_ = nullptr;
    HistoryChart* chart_ = nullptr;
    Subscription subscription_;
};

}  // namespace orvelle
