#include "views/HistoryChart.h"

#include <algorithm>

#include <QEvent>
#include <QHelpEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "views/AmountFormat.h"
#include "views/Fonts.h"
#include "views/Palette.h"
#include "views/ShownAmount.h"

namespace orvelle {

namespace {

constexpr int kAxisPixels = 10;
constexpr qreal kBarGap = 2;
constexpr qreal kAxisHeight = 14;

}  // namespace

HistoryChart::HistoryChart(QWidget* parent) : QWidget(parent) {
    setObjectName("historyChart");
    setMouseTracking(true);
    setMinimumHeight(100);
    setAccessibleName(QStringLiteral("最近 30 天收入柱状图"));
}

void HistoryChart::show(const std::vector<DayTotal>& days, bool masked) {
    if (days == days_ && masked == masked_) {
        return;
    }
    days_ = days;
    masked_ = masked;
    update();
}

QRectF HistoryChart::plotArea() const {
    return QRectF(rect()).adjusted(1, 4, -1, -kAxisHeight);
}

int HistoryChart::barAt(int x) const {
    const QRectF plot = plotArea();
    if (days_.empty() || x < plot.left() || x >= plot.right()) {
        return -1;
    }
    return std::min(static_cast<int>((x - plot.left()) * days_.size() / plot.width()),
                    static_cast<int>(days_.size()) - 1);
}

QString HistoryChart::barText(int x) const {
    const int bar = barAt(x);
    if (bar < 0) {
        return {};
    }
    const DayTotal& day = days_[static_cast<size_t>(bar)];
    const std::string amount = masked_ ? std::string(kMaskedAmount) : formattedAmount(day.earned);
    return QStringLiteral("%1  %2 小时  ¥%3")
        .arg(QString::fromStdString(day.day))
        .arg(day.paidSeconds / 3600.0, 0, 'f', 2)
        .arg(QString::fromStdString(amount));
}

void HistoryChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF plot = plotArea();
    painter.setPen(QPen(palette::cardBorder, 1));
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    if (days_.empty()) {
        return;
    }
    const double most = std::ranges::max(days_, {}, &DayTotal::earned).earned;
    const qreal slot = plot.width() / static_cast<qreal>(days_.size());
    QLinearGradient fill(0, plot.top(), 0, plot.bottom());
    fill.setColorAt(0, palette::accentRose);
    fill.setColorAt(1, palette::cardBorder);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    for (size_t i = 0; i < days_.size(); ++i) {
        // Masked, every day worked is drawn full height: the heights would tell the amounts apart.
        const double share = days_[i].earned <= 0 || most <= 0 ? 0.0
                             : masked_                         ? 1.0
                                                               : days_[i].earned / most;
        const qreal height = std::max(share * plot.height(), days_[i].sessions > 0 ? 2.0 : 0.0);
        const QRectF bar(plot.left() + slot * static_cast<qreal>(i) + kBarGap / 2,
                         plot.bottom() - height, std::max(slot - kBarGap, 1.0), height);
        painter.drawRoundedRect(bar, 2, 2);
    }
    painter.setPen(palette::plum);
    painter.setFont(viewFont(kAxisPixels));
    const QRectF axis(plot.left(), plot.bottom() + 1, plot.width(), kAxisHeight - 1);
    const auto dayOf = [](const DayTotal& day) {
        return QString::fromStdString(day.day.substr(5));
    };
    painter.drawText(axis, Qt::AlignLeft | Qt::AlignVCenter, dayOf(days_.front()));
    painter.drawText(axis, Qt::AlignRight | Qt::AlignVCenter, dayOf(days_.back()));
}

void HistoryChart::mouseMoveEvent(QMouseEvent* event) {
    const QString text = barText(event->position().toPoint().x());
    if (text.isEmpty()) {
        QToolTip::hideText();
    } else {
        QToolTip::showText(event->globalPosition().toPoint(), text, this);
    }
}

bool HistoryChart::event(QEvent* event) {
    // The tooltip follows the pointer from bar to bar; the default one would name the widget.
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString text = barText(help->pos().x());
        text.isEmpty() ? QToolTip::hideText() : QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    return QWidget::event(event);
}

}  // namespace orvelle
