// The reference that tools/measure-app sets Orvelle against: the plainest Qt Widgets panel of the
// capsule's size, a frameless 150 × 90 window that repaints the capsule's two texts, the label
// "今日收入:" and a changing amount (¥500 a day over nine hours), in the capsule's fonts and sizes,
// 20 times a second, with no caching, no skipped repaints and no formatting library.
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
            amount_ += 500.0 / (9 * 3600) / 20;
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
        QFont label(QStringLiteral("Noto Sans CJK SC"));
        label.setPixelSize(13);
        label.setWeight(QFont::DemiBold);
        painter.setFont(label);
        painter.drawText(QRect(0, 14, 150, 22), Qt::AlignCenter, QStringLiteral("今日收入:"));
        QFont amount(QStringLiteral("Noto Sans CJK SC"));
        amount.setPixelSize(24);
        amount.setWeight(QFont::Bold);
        painter.setFont(amount);
        painter.drawText(QRect(0, 36, 150, 40), Qt::AlignCenter,
                         QStringLiteral("¥%1").arg(amount_, 0, 'f', 2));
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
