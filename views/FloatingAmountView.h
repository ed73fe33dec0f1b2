#pragma once

#include <functional>
#include <optional>

#include <QPixmap>
#include <QWidget>

#include "engine/SalaryStore.h"
#include "views/AmountLine.h"
#include "views/CapsuleArt.h"

class QMenu;

namespace orvelle {
class CapsuleAnnouncer;
}

namespace orvelle {

// The capsule (150 × 90 at 100 %, scaled as a whole to the chosen size) that shows "今日收入:" over
// the amount earned in the running session, with a gold sparkle and a coin; its label tells the
// break, overtime and rest apart. It paints only the
// capsule, so a translucent window shows nothing outside it. It repaints only when the amount's
// text changes; the layers that never change are drawn once into cached pixmaps. While it cannot
// be seen (hidden, minimised, or its window not exposed) it does not even format the amount; the
// next paint catches up. A secondary click opens its menu: "打开设置" and "退出"; so do the Menu
// key and Shift+F10 while it has the focus, and a screen reader's menu action. Screen readers read
// the amount and the state, and are told of changes only while one is active.
class FloatingAmountView final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kWidth = 150;
    static constexpr int kHeight = 90;

    FloatingAmountView(SalaryStore& store, std::function<void()> onOpenSettings,
                       std::function<void()> onQuit, QWidget* parent = nullptr);

    // Returns the amount line as shown: "¥" followed by the formatted amount.
    QString amountLine() const;
    // Returns how the capsule looks: working, in overtime, in the break or at rest.
    CapsuleLook look() const { return look_; }
    // Returns the amount line as the view last painted it, or is about to paint it.
    QString paintedAmount() const { return shown_.text(); }
    // Returns how many times the view has painted itself.
    int paintCount() const { return paintCount_; }
    // Returns what a screen reader says of the capsule: "今日收入 ¥852.47，上班中", or with the
    // amount hidden.
    QString spokenSummary() const;
    // Returns the amount a screen reader reads as the value, or nothing while amounts are hidden.
    std::optional<double> spokenAmount() const;
    // Opens the menu below the capsule's centre, unless it is open.
    void showMenu();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void onStoreChanged(StoreProperty property);
    qreal scale() const;
    void applyScale();
    bool canBeSeen() const;
    void ensureLayers(qreal devicePixelRatio);
    QString labelNow() const;

    SalaryStore& store_;
    QMenu* menu_;
    CapsuleAnnouncer* announcer_;
    AmountGlyphs glyphs_;  // the amount's, set from a table taken once
    Subscription subscription_;
    CapsuleLook look_ = CapsuleLook::regular;  // what the cached layers show
    QString label_;        // the label the cached layers show in place of the working one, if any
    AmountLine shown_;     // what the last paint showed, to repaint only what a change changes
    bool behind_ = false;  // the amount changed while the view could not be seen
    QPixmap below_;        // capsules, sparkle and label
    QPixmap above_;        // the coin, which lies over the amount's right end
    int paintCount_ = 0;
};

}  // namespace orvelle
