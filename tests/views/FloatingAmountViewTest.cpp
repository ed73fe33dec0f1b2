#include "views/FloatingAmountView.h"

#include <map>

#include <gtest/gtest.h>
#include <QAccessible>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTest>
#include <QTextLayout>

#include "fakes/StoreHarness.h"
#include "views/AmountGlyphs.h"
#include "views/AmountLine.h"
#include "views/CapsuleArt.h"
#include "views/Palette.h"

namespace orvelle {
namespace {

// Returns the largest difference between two colours in any channel, alpha included.
int distance(QColor a, QColor b) {
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                     std::abs(a.blue() - b.blue()), std::abs(a.alpha() - b.alpha())});
}

// Returns the centres, in logical pixels, of the pixels of `image` that `inked` takes for ink by
// their centre and colour.
QPolygonF ink(const QImage& image, const std::function<bool(QPointF, QColor)>& inked) {
    QPolygonF centres;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QPointF centre = QPointF(x + 0.5, y + 0.5) / image.devicePixelRatio();
            if (inked(centre, image.pixelColor(x, y))) {
                centres << centre;
            }
        }
    }
    return centres;
}

// Where the amount may show: inside the inner capsule's border (10, 9, 130 × 72, 2 wide) and
// outside the coin (28 across at 131, 69, its 3-wide outline half outside).
bool inItsRoom(QPointF point) {
    QPainterPath inner;
    inner.addRoundedRect(QRectF(11, 10, 128, 70), 35, 35);
    const QPointF fromCoin = point - QPointF(131, 69);
    return inner.contains(point) && std::hypot(fromCoin.x(), fromCoin.y()) > 15.5;
}

// Every amount the capsule may show, drawn alone as the capsule draws it, at a device pixel ratio
// of 1 and 2 (the capsule's 200 % size scales the same drawing): each inked pixel lies in its
// room, on the amount's one line. An amount that fits centred stays where it was designed,
// centred on the capsule; a far too wide one is scaled down, so its glyphs are shorter, rather
// than cut at the room's edges or wrapped, and still spans the room to be read.
TEST(CapsuleArt, EveryAmountFitsBesideTheCoinOnOneLineInsideTheInnerCapsule) {
    const AmountGlyphs glyphs(CapsuleArt::amountFont());
    for (const qreal ratio : {1.0, 2.0}) {
        std::map<std::string, QRectF> boxes;
        for (const char* amount :
             {"¥9.99", "¥999.99", "¥1,060.77", "¥99,999.99", "¥•••.••", "¥-12,345,678.90"}) {
            QImage image(QSize(150, 90) * ratio, QImage::Format_ARGB32_Premultiplied);
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            painter.setRenderHint(QPainter::TextAntialiasing);
            AmountLine(QString::fromUtf8(amount), glyphs).draw(painter, CapsuleLook::regular);
            painter.end();
            const QPolygonF inked = ink(image, [](QPointF, QColor c) { return c.alpha() >= 64; });
            boxes[amount] = inked.boundingRect();
            EXPECT_GT(inked.size(), 20) << amount << " at " << ratio;
            EXPECT_TRUE(std::ranges::all_of(inked, inItsRoom)) << amount << " at " << ratio;
            EXPECT_LE(boxes[amount].bottom(), CapsuleArt::amountBox().bottom() + 1.5) << amount;
        }
        const QRectF widest = boxes["¥-12,345,678.90"];
        EXPECT_NEAR(boxes["¥9.99"].center().x(), 75, 1.5) << "at " << ratio;
        EXPECT_LT(widest.height(), boxes["¥999.99"].height()) << "at " << ratio;
        EXPECT_TRUE(widest.left() < 40 && widest.right() > 111) << "at " << ratio;
    }
}

// Returns a transparent capsule-sized image with what `draw` drew on it.
QImage drawnAlone(const std::function<void(QPainter&)>& draw) {
    QImage image(QSize(150, 90), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    draw(painter);
    return image;
}

// The capsule's amounts are set from the table, pixel for pixel and caret for caret as a full
// layout sets them; a text with other characters is laid out in full, and drawn the same.
TEST(AmountGlyphs, SetsAmountsFromItsTableExactlyAsALayoutWould) {
    const AmountGlyphs glyphs(CapsuleArt::amountFont());
    ASSERT_TRUE(glyphs.fromTable());
    for (const char* text : {"¥1,060.77", "¥-12,345,678.90", "¥•••.••", "¥NaN", ""}) {
        const QString line = QString::fromUtf8(text);
        QTextLayout layout(line, glyphs.font());
        layout.beginLayout();
        const QTextLine laid = layout.createLine();
        layout.endLayout();
        const SetLine set = glyphs.set(line);
        const QPointF at(4, 30);
        const QImage expected = drawnAlone([&](QPainter& p) { layout.draw(&p, at); });
        EXPECT_EQ(drawnAlone([&](QPainter& p) {
                      for (const QGlyphRun& run : set.runs) {
                          p.drawGlyphRun(at, run);
                      }
                  }),
                  expected)
            << text;
        ASSERT_EQ(set.carets.size(), line.size() + 1) << text;
        for (int i = 0; i <= line.size(); ++i) {
            EXPECT_EQ(set.carets[i], laid.cursorToX(i)) << text << " at " << i;
        }
        EXPECT_EQ(set.height, laid.height()) << text;
    }
}

// A change repaints a part of the view, cleared and drawn again, as the capsule does: the result
// is the new amount, pixel for pixel, as drawn whole. A new cent repaints its digits alone, in the
// rows the digits ink, and a line that grows or shrinks the amount box's whole width.
TEST(AmountLine, RepaintsEveryPixelThatChangesAndLittleElse) {
    const AmountGlyphs glyphs(CapsuleArt::amountFont());
    const QRectF box = CapsuleArt::amountBox();
    const auto line = [&](const char* text) { return AmountLine(QString::fromUtf8(text), glyphs); };
    const auto drawn = [](const AmountLine& amount) {
        return drawnAlone([&](QPainter& p) { amount.draw(p, CapsuleLook::regular); });
    };
    // before, after, the most the part may span across (0: the box's whole width)
    const std::tuple<const char*, const char*, qreal> changes[] = {
        {"¥1,060.77", "¥1,060.78", 25}, {"¥1,060.79", "¥1,060.80", 40},
        {"¥1,069.99", "¥1,070.00", 70}, {"¥9,999.99", "¥10,000.00", 0},
        {"¥9.99", "¥•••.••", 0},        {"¥-0.01", "¥0.00", 0},
        {"¥-12,345,678.90", "¥NaN", 0}, {"¥99,999,999.99", "¥100,000,000.00", 0}};
    for (const auto& [before, after, widest] : changes) {
        const AmountLine from = line(before);
        const QRect part = from.changedPart(line(after)).toAlignedRect();
        QImage repainted = drawn(from);
        QPainter painter(&repainted);
        painter.setClipRect(part);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(part, Qt::transparent);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.setRenderHint(QPainter::TextAntialiasing);
        line(after).draw(painter, CapsuleLook::regular);
        painter.end();
        EXPECT_EQ(repainted, drawn(line(after))) << before << " → " << after;
        EXPECT_EQ(widest == 0, part.width() >= box.width()) << before << " → " << after;
        EXPECT_LE(part.width(), widest == 0 ? box.width() + 1 : widest) << before;
    }
    EXPECT_TRUE(line("¥1.00").changedPart(line("¥1.00")).isEmpty());
    // The digits ink about two thirds of the line's rows; those alone are sent.
    EXPECT_LT(line("¥1.00").changedPart(line("¥1.01")).height(), box.height() * 0.85);
}

class FloatingAmountViewTest : public ::testing::Test {
protected:
    // Starts a session at `amount` a day and lets `seconds` of it pass.
    void work(const char* amount, double seconds) {
        harness.store->setAmountText(amount);
        harness.store->startWork();
        harness.tickAfter(seconds);
    }

    QImage render(qreal ratio) {
        QImage image(view.size() * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        view.render(&image);
        return image.convertToFormat(QImage::Format_ARGB32);
    }

    test::StoreHarness harness;
    FloatingAmountView view{harness.launchAt({2026, 3, 2, 9, 0}), [] {}, [] {}};
};

// Every size of the capsule, at every pixel ratio, draws the same picture scaled as a whole.
TEST_F(FloatingAmountViewTest, DrawsTheCapsuleAndNothingOutsideItAtEverySizeAndPixelRatio) {
    // Where, in logical pixels, what colour and how closely: the corners outside, both ends of the
    // gradient, the white inner capsule and its outline, the sparkle, the coin and its outline.
    const std::tuple<QPoint, QColor, int> probes[] = {{QPoint(0, 0), Qt::transparent, 0},
                                                      {QPoint(149, 89), Qt::transparent, 0},
                                                      {QPoint(3, 45), palette::gradientStart, 12},
                                                      {QPoint(146, 45), palette::gradientEnd, 12},
                                                      {QPoint(75, 12), Qt::white, 6},
                                                      {QPoint(75, 9), palette::cardBorder, 30},
                                                      {QPoint(19, 23), palette::sparkle, 12},
                                                      {QPoint(121, 69), palette::coinFill, 12},
                                                      {QPoint(131, 82), palette::coinOutline, 30}};
    for (const auto& [percent, ratio] : {std::pair{100, 1.0}, {100, 2.0}, {150, 1.0}, {200, 1.0}}) {
        harness.store->setCapsuleLook(percent, 100);
        const qreal scale = percent / 100.0;
        ASSERT_EQ(view.size(), QSize(150, 90) * scale);
        const QImage image = render(ratio);
        for (const auto& [at, colour, tolerance] : probes) {
            EXPECT_LE(distance(image.pixelColor(at * scale * ratio), colour), tolerance)
                << "at " << at.x() << "," << at.y() << " size " << percent << " ratio " << ratio;
        }
    }
    // At 40 % opacity the white inner capsule lets 60 % of what lies below show through.
    harness.store->setCapsuleLook(100, 40);
    EXPECT_NEAR(render(1.0).pixelColor(75, 12).alpha(), 102, 3);
}

// The label and the look tell working, the break, overtime and rest apart, and a screen reader
// reads the break in the capsule's name.
TEST_F(FloatingAmountViewTest, ShowsTheSessionsState) {
    harness.store->setWorkday({true, 12 * 60, 13 * 60, AfterEnd::overtime, 1.5, false});
    EXPECT_EQ(view.look(), CapsuleLook::atRest);
    harness.store->startWork();
    const std::tuple<int, int, CapsuleLook> day[] = {{10, 0, CapsuleLook::regular},
                                                     {12, 0, CapsuleLook::lunchBreak},
                                                     {12, 59, CapsuleLook::lunchBreak},
                                                     {13, 0, CapsuleLook::regular},
                                                     {18, 0, CapsuleLook::overtime}};
    for (const auto& [hour, minute, look] : day) {
        harness.tickAt({2026, 3, 2, hour, minute});
        EXPECT_EQ(view.look(), look) << hour << ":" << minute;
        if (look == CapsuleLook::lunchBreak) {  // 09:00 to 12:00 of eight paid hours
            EXPECT_EQ(QAccessible::queryAccessibleInterface(&view)->text(QAccessible::Name),
                      "今日收入 ¥187.50，午休中");
        }
    }
    harness.store->stopWork();
    EXPECT_EQ(view.look(), CapsuleLook::atRest);
    const QImage regular = CapsuleArt::below(1, CapsuleLook::regular).toImage();
    EXPECT_NE(regular, CapsuleArt::below(1, CapsuleLook::lunchBreak).toImage());
    EXPECT_NE(regular, CapsuleArt::below(1, CapsuleLook::atRest).toImage());
}

// Asked for, the time left stands in place of the label and changes with the minute, not with
// the amount.
TEST_F(FloatingAmountViewTest, ShowsTheTimeLeftInPlaceOfTheLabelWhenAsked) {
    work("10", 0);
    const QRect label = CapsuleArt::labelBox().toRect();
    const QImage plain = render(1).copy(label);
    WorkingWeek week;
    week.showCountdown = true;
    harness.store->setWeek(week);
    const QImage nineHours = render(1).copy(label);
    EXPECT_NE(nineHours, plain);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&view)->text(QAccessible::Name),
              "今日收入 ¥0.00，上班中，距下班 9:00");
    harness.tickAfter(40);  // a cent more, the same minute left
    EXPECT_EQ(render(1).copy(label), nineHours);
    harness.tickAfter(20);
    EXPECT_NE(render(1).copy(label), nineHours);
}

// A repaint paints only what changed (a digit, or the whole line when it moves), and what the
// screen then shows is what a whole repaint draws.
TEST_F(FloatingAmountViewTest, RepaintsOnlyWhenTheShownTextChanges) {
    work("10", 0);  // a cent every 32.4 seconds
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    ASSERT_TRUE(QTest::qWaitFor([this] { return view.paintCount() > 0; }));
    // Waits for one paint, then compares the screen with a whole repaint, which paints once more,
    // where the amount may be (the test screen has no alpha: the capsule's edges differ there).
    int painted = view.paintCount();
    const auto repaintedOnce = [&] {
        const bool once = QTest::qWaitFor([&] { return view.paintCount() == painted + 1; });
        const auto opaque = [](const QImage& image) {
            return image.copy(CapsuleArt::amountRoom().toAlignedRect())
                .convertToFormat(QImage::Format_RGB32);
        };
        const bool right = opaque(view.screen()->grabWindow(view.winId()).toImage()) ==
                           opaque(view.grab().toImage());
        painted = view.paintCount();
        return once && right;
    };
    for (int tick = 0; tick < 20; ++tick) {  // one second of ticks, the same cent throughout
        harness.tickAfter(0.05);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(view.paintCount(), painted);
    harness.tickAfter(40);
    EXPECT_EQ(view.paintedAmount(), "¥0.01");
    EXPECT_EQ(view.paintCount(), painted + 1) << "the new cent is painted within the tick";
    EXPECT_TRUE(repaintedOnce());
    // Privacy shows one mask whatever the amount, in one repaint, and turning it off shows the
    // amount again.
    const QString amount = view.amountLine();
    QTest::mouseClick(&view, Qt::MiddleButton);
    EXPECT_EQ(view.amountLine(), "¥•••.••");
    EXPECT_TRUE(repaintedOnce());
    QTest::mouseClick(&view, Qt::MiddleButton);
    EXPECT_EQ(view.amountLine(), amount);
    EXPECT_TRUE(repaintedOnce());
}

// Hidden, the capsule does not follow the ticks; shown after an hour, its first paint already
// shows the hour's amount.
TEST_F(FloatingAmountViewTest, ShownAfterAnHourHiddenPaintsTheRightAmountAtOnce) {
    work("500", 0);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    view.hide();
    for (int minute = 0; minute < 60; ++minute) {
        harness.tickAfter(60);
    }
    EXPECT_EQ(view.paintedAmount(), "¥0.00");
    const int painted = view.paintCount();
    view.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.paintCount() > painted; }));
    EXPECT_EQ(view.paintedAmount(), "¥55.56");  // 500 over the nine hours to 18:00
}

// The Menu key, Shift+F10 and a screen reader's menu action each open the capsule's menu.
TEST_F(FloatingAmountViewTest, OpensItsMenuWithoutAMouse) {
    view.show();
    auto* menu = view.findChild<QMenu*>();
    const std::function<void()> ways[] = {
        [this] { QTest::keyClick(&view, Qt::Key_Menu); },
        [this] { QTest::keyClick(&view, Qt::Key_F10, Qt::ShiftModifier); },
        [this] {
            QAccessible::queryAccessibleInterface(&view)->actionInterface()->doAction(
                QAccessibleActionInterface::showMenuAction());
        }};
    for (std::size_t way = 0; way < std::size(ways); ++way) {
        ways[way]();
        EXPECT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); })) << way;
        menu->hide();
    }
    QTest::keyClick(&view, Qt::Key_F10);
    EXPECT_FALSE(menu->isVisible());
}

}  // namespace
}  // namespace orvelle
