#include "views/FloatingAmountView.h"

#include <QAccessible>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include "views/AccessibleRoles.h"
#include "views/AmountFormat.h"
#include "views/CapsuleAnnouncer.h"
#include "views/CapsuleArt.h"
#include "views/OnScreenWatch.h"
#include "views/Palette.h"
#include "views/ShownAmount.h"

namespace orvelle {

namespace {

CapsuleLook lookOf(const SalaryStore& store) {
    if (!store.isWorking()) {
        return CapsuleLook::atRest;
    }
    return store.isOvertime() ? CapsuleLook::overtime
           : store.onBreak()  ? CapsuleLook::lunchBreak
                              : CapsuleLook::regular;
}

}  // namespace

FloatingAmountView::FloatingAmountView(SalaryStore& store, std::function<void()> onOpenSettings,
                                       std::function<void()> onQuit, QWidget* parent)
    : QWidget(parent),
      store_(store),
      menu_(new QMenu(this)),
      announcer_(new CapsuleAnnouncer(*this)),
      glyphs_(CapsuleArt::amountFont()),
      shown_(amountLine(), glyphs_) {
    applyScale();
    setAttribute(Qt::WA_TranslucentBackground);
    menu_->addAction(QStringLiteral("打开设置"), this, std::move(onOpenSettings));
    menu_->addSeparator();
    menu_->addAction(QStringLiteral("退出"), this, std::move(onQuit));
    look_ = lookOf(store_);
    label_ = labelNow();
    subscription_ = store_.subscribe(
        [this](StoreProperty property) { onStoreChanged(property); },
        {StoreProperty::earnedTodayDisplay, StoreProperty::privacy, StoreProperty::capsuleLook,
         StoreProperty::minutesToEnd, StoreProperty::week});
    // A screen reader can give the capsule the focus, for the menu keys; its window never asks
    // for it, so a click or Tab never moves the focus there.
    setFocusPolicy(Qt::TabFocus);
    useOwnAccessibleInterface(*this);
}

QString FloatingAmountView::amountLine() const {
    return QStringLiteral("¥") + QString::fromStdString(shownAmount(store_));
}

QString FloatingAmountView::spokenSummary() const {
    const QString amount = store_.privacy() ? QStringLiteral("今日收入已隐藏")
                                            : QStringLiteral("今日收入 ") + amountLine();
    // The time left, when the label shows it, is read out too.
    const QString label = labelNow();
    return amount + QStringLiteral("，") + CapsuleArt::stateName(lookOf(store_)) +
           (label.isEmpty() ? QString() : QStringLiteral("，") + label);
}

std::optional<double> FloatingAmountView::spokenAmount() const {
    if (store_.privacy()) {
        return std::nullopt;
    }
    return store_.earnedTodayDisplay();
}

qreal FloatingAmountView::scale() const {
    return store_.capsuleScalePercent() / 100.0;
}

void FloatingAmountView::applyScale() {
    setFixedSize(qRound(kWidth * scale()), qRound(kHeight * scale()));
}

void FloatingAmountView::onStoreChanged(StoreProperty property) {
    if (property == StoreProperty::capsuleLook) {
        applyScale();
        update();
        return;
    }
    // The time left, when it stands in the label, changes once a minute.
    if (property == StoreProperty::minutesToEnd || property == StoreProperty::week) {
        if (QString label = labelNow(); label != label_) {
            label_ = std::move(label);
            below_ = QPixmap();
            update();
        }
        return;
    }
    if (property != StoreProperty::earnedTodayDisplay && property != StoreProperty::privacy) {
        return;
    }
    // The break and overtime begin and end with a recomputation of the amount, and a session's
    // start and end recompute it too, so the look is checked here.
    const CapsuleLook look = lookOf(store_);
    const bool stateChanged = look != look_ || property == StoreProperty::privacy;
    if (look != look_) {
        look_ = look;
        label_ = labelNow();
        below_ = QPixmap();
        update();
    }
    // Nothing is formatted for screen readers unless one is listening.
    if (QAccessible::isActive()) {
        stateChanged ? announcer_->stateChanged() : announcer_->amountChanged();
    }
    if (!canBeSeen()) {
        behind_ = true;
        return;
    }
    behind_ = false;
    QString line = amountLine();
    if (line != shown_.text()) {
        AmountLine next(line, glyphs_);
        // Only what changed is painted and sent to the display server, many times a minute all
        // day long: mostly a digit or two. It is painted now rather than posted for later: the
        // store computed the figure for this instant, and posting would wake the event loop once
        // more for every cent.
        const QRectF part = shown_.changedPart(next);
        shown_ = std::move(next);
        repaint(QRectF(part.topLeft() * scale(), part.size() * scale()).toAlignedRect());
    }
}

// While working, the label may show the time left to the end of work instead of its own words.
QString FloatingAmountView::labelNow() const {
    return lookOf(store_) == CapsuleLook::regular && store_.week().showCountdown
               ? QString::fromStdString(timeLeftText(store_))
               : QString();
}

// Whatever brings the view back into view (a show, a restore, an expose) paints it, and the paint
// catches up.
bool FloatingAmountView::canBeSeen() const {
    const QWindow* handle = window()->windowHandle();
    return OnScreenWatch::canBeSeen(*this) && (handle == nullptr || handle->isExposed());
}

void FloatingAmountView::ensureLayers(qreal devicePixelRatio) {
    if (below_.isNull() || below_.devicePixelRatio() != devicePixelRatio) {
        below_ = CapsuleArt::below(devicePixelRatio, look_, label_);
        above_ = CapsuleArt::above(devicePixelRatio, look_);
    }
}

void FloatingAmountView::paintEvent(QPaintEvent* event) {
    ++paintCount_;
    if (behind_) {
        behind_ = false;
        QString line = amountLine();
        if (line != shown_.text()) {
            // A partly uncovered view is asked for part of itself; the new amount needs all of it.
            if (event->region() != QRegion(rect())) {
                update();
            }
            shown_ = AmountLine(line, glyphs_);
        }
    }
    // Everything is drawn in the 150 × 90 design and scaled as a whole; the cached layers are made
    // at the scaled pixel density, so that they stay as sharp as the text.
    ensureLayers(devicePixelRatioF() * scale());
    QPainter painter(this);
    painter.scale(scale(), scale());
    painter.setOpacity(store_.capsuleOpacityPercent() / 100.0);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.drawPixmap(0, 0, below_);
    shown_.draw(painter, look_);
    painter.drawPixmap(0, 0, above_);
}

// A middle click masks the amount or shows it again, quicker than any menu when a screen share
// starts; every other press goes on to the panel, which drags.
void FloatingAmountView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::MiddleButton) {
        event->ignore();
        return;
    }
    store_.setPrivacy(!store_.privacy());
    event->accept();
}

void FloatingAmountView::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Keyboard) {
        showMenu();
    } else {
        menu_->popup(event->globalPos());
    }
    event->accept();
}

// The Menu key may arrive both as a key and as a context menu event; the menu opens once.
void FloatingAmountView::keyPressEvent(QKeyEvent* event) {
    const bool shiftF10 = event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier;
    if (event->key() == Qt::Key_Menu || shiftF10) {
        showMenu();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void FloatingAmountView::showMenu() {
    if (!menu_->isVisible()) {
        menu_->popup(mapToGlobal(rect().center()));
    }
}

}  // namespace orvelle
