#pragma once

#include <QFont>
#include <QString>

class QLabel;
class QWidget;

namespace orvelle::styles {

// Returns a label with `text` in `font` and `color`, for the settings page.
QLabel* label(const QString& text, const QFont& font, const QColor& color);

// Paints all of `widget` with the settings window's pink-to-cream gradient, from its top left
// corner to its bottom right one.
void paintPageBackground(QWidget& widget);

// Style sheets of the settings page's controls, in the page's palette.
QString segmentedButton(bool first, bool last);
QString prominentButton();
QString borderedButton();
QString stepperButton();
QString textField();

}  // namespace orvelle::styles
