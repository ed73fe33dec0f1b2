#pragma once

#include <array>

#include <QWidget>

#include "engine/SalaryStore.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTimeEdit;

namespace orvelle {

// The settings rows of the working week: night shifts, the working days (one toggle per
// weekday), work that starts by itself at a time of day, and the time left on the capsule; below
// them when work will start by itself and, while a session is open, the time left to its end of
// work. Each change goes into the store and is saved at once.
class WeekRows final : public QWidget {
    Q_OBJECT

public:
    explicit WeekRows(SalaryStore& store, QWidget* parent = nullptr);

private:
    QWidget* buildDaysRow();
    QWidget* buildAutoStartRow();
    QCheckBox* checkBox(const char* text, const char* name, bool WorkingWeek::*setting);
    void showStoredWeek();
    void showStatus();
    void apply(const WorkingWeek& week);

    SalaryStore& store_;
    Subscription subscription_;
    QCheckBox* overnight_ = nullptr;
    std::array<QPushButton*, 7> days_{};
    QCheckBox* autoStart_ = nullptr;
    QTimeEdit* autoStartTime_ = nullptr;
    QCheckBox* countdown_ = nullptr;
    QLabel* status_ = nullptr;
};

}  // namespace orvelle
