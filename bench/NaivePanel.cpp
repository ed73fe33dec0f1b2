// The reference that tools/measure-app sets Orvelle against: the plainest Qt Widgets panel of the
// capsule's size, a frameless 150 × 90 window that repaints a changing amount 20 times a second
// with no caching, no skipped repaints and no formatting library.
#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>

namespace {

class NaivePanel final : public QWidget {
public:
    NaivePanel()
        : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
        setWindowTitle(QStringLiteral("orvelle_naive_panel"));  // what measure-app looks for
        setFixedSize(150, 90);
        connect(&tick_, &QTimer::timeout, this, [this] {
            amount_ += 0.0058;
            update();
        });
        tick_.start(50);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillRect(rect(), QColor(250, 213, 229));
        painter.setBrush(Qt::white);
        painter.drawRoundedRect(rect().adjusted(10, 9, -10, -9), 36, 36);
        QFont font = painter.font();
        font.setPixelSize(24);
        font.setBold(true);
        painter.setFont(font);
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("¥%1").arg(amount_, 0, 'f', 2));
    }

private:
    QTimer tick_;
    double amount_ = 0;
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    NaivePanel panel;
    panel.move(1194, 72);
    panel.show();
    return app.exec();
}
