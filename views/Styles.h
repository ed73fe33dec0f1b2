#pragma once

#include <QFont>
#include <QString>

class QLabel;

namespace orvelle::styles {

// Returns a label with `text` in `font` and `color`, for the settings page.
QLabel* label(const QString& text, const QFont& font, const QColor& color);

// Style sheets of the settings page's controls, in the page's palette.
QString segmentedButton(bool first, bool last);
QString prominentButton();
QString borderedButton();
QString stepperButton();
QString textField();

}  // namespace orvelle::styles
