#pragma once

#include <vector>

#include <QWidget>

#include "platform/api/HistoryStore.h"

namespace orvelle {

// A bar chart of what each of the last days earned, oldest at the left, drawn in the capsule's
// palette; the bar under the pointer names its day and amount. Its data is what it was last given.
class HistoryChart final : public QWidget {
    Q_OBJECT

public:
    explicit HistoryChart(QWidget* parent = nullptr);

    // Shows `days`, oldest first; amounts masked when `masked`. Repaints only when they changed.
    void show(const std::vector<DayTotal>& days, bool masked);

    // Returns the text the bar at `x` (in the chart's coordinates) shows under the pointer; empty
    // where there is none.
    QString barText(int x) const;

    QSize sizeHint() const override { return {400, 120}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    QRectF plotArea() const;
    int barAt(int x) const;

    std::vector<DayTotal> days_;
    bool masked_ = false;
};

}  // namespace orvelle
