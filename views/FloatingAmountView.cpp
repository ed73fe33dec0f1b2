#include "views/FloatingAmountView.h"

#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QMenu>
#include <QPainter>
#include <QWindow>

#include "views/AmountFormat.h"
#include "views/CapsuleArt.h"
#include "views/Fonts.h"
#include "views/OnScreenWatch.h"
#include "views/Palette.h"

namespace orvelle {

namespace {

constexpr qreal kMinimumScale = 0.5;

}  // namespace

FloatingAmountView::FloatingAmountView(SalaryStore& store, std::function<void()> onOpenSettings,
                                       std::function<void()> onQuit, QWidget* parent)
    : QWidget(parent),
      store_(store),
      menu_(new QMenu(this)),
      amountFont_(viewFont(24, QFont::Bold)) {
    setFixedSize(kWidth, kHeight);
    setAttribute(Qt::WA_TranslucentBackground);
    menu_->addAction(QStringLiteral("打开设置"), this, std::move(onOpenSettings));
    menu_->addSeparator();
    menu_->addAction(QStringLiteral("退出"), this, std::move(onQuit));
    shownAmount_ = amountLine();
    subscription_ = store_.subscribe([this](StoreProperty property) { onStoreChanged(property); });
}

QString FloatingAmountView::amountLine() const {
    return QStringLiteral("¥") +
           QString::fromStdString(formattedAmount(store_.earnedTodayDisplay()));
}

void FloatingAmountView::onStoreChanged(StoreProperty property) {
    if (property != StoreProperty::earnedTodayDisplay) {
        return;
    }
    if (!canBeSeen()) {
        behind_ = true;
        return;
    }
    behind_ = false;
    QString line = amountLine();
    if (line != shownAmount_) {
        shownAmount_ = std::move(line);
        update();
    }
}

// Whatever brings the view back into view (a show, a restore, an expose) paints it, and the paint
// catches up.
bool FloatingAmountView::canBeSeen() const {
    const QWindow* handle = window()->windowHandle();
    return OnScreenWatch::canBeSeen(*this) && (handle == nullptr || handle->isExposed());
}

void FloatingAmountView::ensureLayers(qreal devicePixelRatio) {
    if (below_.isNull() || below_.devicePixelRatio() != devicePixelRatio) {
        below_ = CapsuleArt::below(devicePixelRatio);
        above_ = CapsuleArt::above(devicePixelRatio);
    }
}

void FloatingAmountView::paintEvent(QPaintEvent* event) {
    ++paintCount_;
    if (behind_) {
        behind_ = false;
        QString line = amountLine();
        // A partly uncovered view is asked for part of itself; the new amount needs all of it.
        if (line != shownAmount_ && event->region() != QRegion(rect())) {
            update();
        }
        shownAmount_ = std::move(line);
    }
    ensureLayers(devicePixelRatioF());
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.drawPixmap(0, 0, below_);
    paintAmount(painter);
    painter.drawPixmap(0, 0, above_);
}

// The amount stays on one line: too wide a text is scaled down, to half size at most, and only
// what still does not fit is elided.
void FloatingAmountView::paintAmount(QPainter& painter) const {
    const QRectF box = CapsuleArt::amountBox();
    const QFontMetricsF metrics(amountFont_);
    const qreal width = metrics.horizontalAdvance(shownAmount_);
    const qreal scale = std::clamp(box.width() / std::max(width, 1.0), kMinimumScale, 1.0);
    // Laying the text out costs more than the rest of the paint: it is elided only when even half
    // size does not fit.
    const QString text =
        width * scale <= box.width()
            ? shownAmount_
            : metrics.elidedText(shownAmount_, Qt::ElideRight, box.width() / scale);
    painter.save();
    painter.translate(box.center());
    painter.scale(scale, scale);
    painter.setFont(amountFont_);
    painter.setPen(palette::accentRose);
    const QRectF unscaled(-box.width() / (2 * scale), -box.height() / 2, box.width() / scale,
                          box.height());
    painter.drawText(unscaled, Qt::AlignCenter | Qt::TextSingleLine, text);
    painter.restore();
}

void FloatingAmountView::contextMenuEvent(QContextMenuEvent* event) {
    menu_->popup(event->globalPos());
    event->accept();
}

}  // namespace orvelle
