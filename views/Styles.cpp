#include "views/Styles.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QWidget>

#include "views/Palette.h"

namespace orvelle::styles {

namespace {

QString css(const QColor& color) {
    return color.name(QColor::HexArgb);
}

}  // namespace

QLabel* label(const QString& text, const QFont& font, const QColor& color) {
    auto* result = new QLabel(text);
    result->setFont(font);
    QPalette colours = result->palette();
    colours.setColor(QPalette::WindowText, color);
    result->setPalette(colours);
    return result;
}

void paintPageBackground(QWidget& widget) {
    QPainter painter(&widget);
    QLinearGradient gradient(widget.rect().topLeft(), widget.rect().bottomRight());
    gradient.setColorAt(0, palette::gradientStart);
    gradient.setColorAt(1, palette::gradientEnd);
    painter.fillRect(widget.rect(), gradient);
}

QString segmentedButton(bool first, bool last) {
    const QString left = first ? "7px" : "0px";
    const QString right = last ? "7px" : "0px";
    return QString(
               "QPushButton { background: white; color: %1; border: 1px solid %2;"
               " border-top-left-radius: %3; border-bottom-left-radius: %3;"
               " border-top-right-radius: %4; border-bottom-right-radius: %4;"
               " padding: 4px 18px; }"
               "QPushButton:checked { background: %5; color: white; border-color: %5; }"
               // The focus ring: twice as thick, and dark enough to stand out on white and on the
               // chosen segment's rose alike; the padding gives back what the border takes.
               "QPushButton:focus { border: 2px solid %6; padding: 3px 17px; }")
        .arg(css(palette::plum), css(palette::cardBorder), left, right, css(palette::accentRose),
             css(palette::plum.darker(200)));
}

QString prominentButton() {
    return QString(
               "QPushButton { background: %1; color: white; border: none; border-radius: 9px;"
               " padding: 9px 26px; font-size: 15px; font-weight: 600; }"
               "QPushButton:hover { background: %2; }"
               "QPushButton:pressed { background: %3; }"
               "QPushButton:focus { outline: none; border: 2px solid %4; }")
        .arg(css(palette::accentRose), css(palette::accentRose.lighter(110)),
             css(palette::accentRose.darker(115)), css(palette::cardBorder));
}

QString borderedButton() {
    return QString(
               "QPushButton { background: white; color: %1; border: 1px solid %2;"
               " border-radius: 7px; padding: 6px 16px; }"
               "QPushButton:pressed { background: %3; }"
               "QPushButton:disabled { color: #b9a3ad; border-color: #eadde3; }")
        .arg(css(palette::plum), css(palette::cardBorder), css(palette::gradientStart));
}

QString stepperButton() {
    return QString(
               "QToolButton { background: white; border: 1px solid %1; border-radius: 5px;"
               " min-width: 22px; min-height: 18px; color: %2; }"
               "QToolButton:pressed { background: %3; }")
        .arg(css(palette::cardBorder), css(palette::plum), css(palette::gradientStart));
}

QString textField() {
    return QString(
               "QLineEdit { background: white; border: 1px solid %1;"
               " border-radius: 6px; padding: 3px 6px; color: black; }"
               "QLineEdit:focus { border: 1px solid %2; }")
        .arg(css(palette::cardBorder), css(palette::accentRose));
}

}  // namespace orvelle::styles
