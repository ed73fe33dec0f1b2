#include "views/RowControls.h"

#include <QHBoxLayout>
#include <QTimeEdit>

#include "views/Fonts.h"

namespace orvelle {

QTimeEdit* timeField(const char* name, const char* spoken) {
    auto* field = new QTimeEdit;
    field->setObjectName(name);
    field->setAccessibleName(QString::fromUtf8(spoken));
    field->setDisplayFormat("HH:mm");
    field->setFont(viewFont(kRowPixels));
    return field;
}

int minutesOf(const QTimeEdit* field) {
    return field->time().hour() * 60 + field->time().minute();
}

void showMinutes(QTimeEdit* field, int minutes) {
    const QSignalBlocker block(field);
    field->setTime(QTime(minutes / 60, minutes % 60));
}

QHBoxLayout* rowLayout(QWidget* row) {
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    return layout;
}

}  // namespace orvelle
