// The least a Qt Widgets capsule can cost, which tools/measure-app measures beside the application:
// a translucent frameless 150 × 90 window that wakes when the amount at ¥500 a day over nine hours
// gains a cent (every 648 ms) and repaints only the last digit's strip, one line of text in the
// capsule's amount font, sent to the X server without shared memory as the capsule sends it. No
// store, no formatting, no layers, no tray: what is left is the toolkit's wake-up, paint and flush.
#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>

namespace {

class FloorPanel final : public QWidget {
public:
    FloorPanel()
        : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
        setWindowTitle(QStringLiteral("orvelle_floor_panel"));  // what measure-app looks for
        setAttribute(Qt::WA_TranslucentBackground);
        setFixedSize(150, 90);
        font_.setPixelSize(24);
        font_.setWeight(QFont::Bold);
        tick_.setTimerType(Qt::PreciseTimer);
        connect(&tick_, &QTimer::timeout, this, [this] {
            ++cents_;
            repaint(QRect(96, 40, 16, 30));  // painted at once, as the capsule paints a cent
        });
        tick_.start(648);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.setFont(font_);
        painter.drawText(QPointF(30, 64), QStringLiteral("¥%1").arg(cents_ / 100.0, 0, 'f', 2));
    }

private:
    QFont font_{QStringLiteral("Noto Sans CJK SC")};
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
