#pragma once

class QHBoxLayout;
class QTimeEdit;
class QWidget;

namespace orvelle {

// Returns a field for a time of day ("HH:mm") named `name` for tests and `spoken` for screen
// readers.
QTimeEdit* timeField(const char* name, const char* spoken);

// Returns the minutes after midnight a time field shows.
int minutesOf(const QTimeEdit* field);

// Shows `minutes` after midnight in a time field without announcing a change.
void showMinutes(QTimeEdit* field, int minutes);

// Returns a horizontal layout for `row`, without margins of its own.
QHBoxLayout* rowLayout(QWidget* row);

}  // namespace orvelle
