// The least a Qt Widgets capsule can cost, which tools/measure-app measures beside the application:
// a translucent frameless 150 × 90 window that wakes when the amount at ¥500 a day over nine hours
// gains a cent (every 648 ms) and repaints only the strip of the cent's digit: the digit's glyph,
// set once, over a white fill, sent to the X server without shared memory as the capsule sends
// it. No store, no formatting, no text shaping, no layers, no tray: what is left is the toolkit's
// wake-up, paint and flush.
#include <QApplication>
#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>
#include <QTimer>
#include <QWidget>

namespace {

constexpr QRect kStrip(96, 40, 16, 30);

class FloorPanel final : public QWidget {
public:
    FloorPanel()
        : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
        setWindowTitle(QStringLiteral("orvelle_floor_panel"));  // what measure-app looks for
        setAttribute(Qt::WA_TranslucentBackground);
        setFixedSize(150, 90);
        QFont font(QStringLiteral("Noto Sans CJK SC"));
        font.setPixelSize(24);
        font.setWeight(QFont::Bold);
        QTextLayout digits(QStringLiteral("0123456789"), font);
        digits.beginLayout();
        digits.createLine();
        digits.endLayout();
        digits_ = digits.glyphRuns().value(0);
        tick_.setTimerType(Qt::PreciseTimer);
        connect(&tick_, &QTimer::timeout, this, [this] {
            ++cents_;
            repaint(kStrip);  // painted at once, as the capsule paints a cent
        });
        tick_.start(648);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        const auto digit = static_cast<int>(cents_ % 10);
        if (digit < digits_.glyphIndexes().size()) {
            QGlyphRun one = digits_;
            one.setGlyphIndexes({digits_.glyphIndexes()[digit]});
            one.setPositions({QPointF(0, digits_.positions()[digit].y())});
            painter.drawGlyphRun(QPointF(kStrip.left() + 1, kStrip.top()), one);
        }
    }

private:
    QGlyphRun digits_;
    QTimer tick_;
    long cents_ = 0;
};

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication app(argc, argv);
    FloorPanel panel;
    panel.move(1194, 72);
    panel.show();
    return app.exec();
}
