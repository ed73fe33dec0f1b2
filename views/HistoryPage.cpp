#include "views/HistoryPage.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>

#include "engine/HistorySummary.h"
#include "views/AmountFormat.h"
#include "views/CardFrame.h"
#include "views/Fonts.h"
#include "views/HistoryChart.h"
#include "views/HistoryText.h"
#include "views/OnScreenWatch.h"
#include "views/Palette.h"
#include "views/ShownAmount.h"
#include "views/Styles.h"

namespace orvelle {

namespace {

constexpr int kFigurePixels = 13;
constexpr const char* kRows[] = {"today", "week", "month"};
constexpr const char* kRowTitles[] = {"今天", "本周", "本月"};
constexpr const char* kColumns[] = {"amount", "hours", "days"};
constexpr const char* kColumnTitles[] = {"金额", "小时", "上班天数"};
// Enough days to cover every day with work, for the export.
constexpr int kAllDays = 1 << 30;

QString money(double amount, bool masked) {
    return "¥" +
           QString::fromStdString(masked ? std::string(kMaskedAmount) : formattedAmount(amount));
}

QLabel* cell(const QString& text, const QColor& color, const QString& name = {}) {
    QLabel* label = styles::label(text, viewFont(kFigurePixels), color);
    label->setObjectName(name);
    return label;
}

}  // namespace

HistoryPage::HistoryPage(SalaryStore& store, QWidget* parent)
    : QWidget(parent), store_(store), history_(store.history()) {
    auto* card = new CardFrame(8, this);
    card->content()->addWidget(
        styles::label("历史", viewFont(kTitlePixels, QFont::DemiBold), palette::sectionPink));
    card->content()->addWidget(buildFigures());
    chart_ = new HistoryChart;
    card->content()->addWidget(chart_, 1);
    card->content()->addWidget(buildFooter());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(card);
    new OnScreenWatch(*this, [this] { refresh(); });
    subscription_ = store_.subscribe(
        [this](StoreProperty) { refresh(); },
        {StoreProperty::menuBarEarnedText, StoreProperty::privacy, StoreProperty::isWorking});
    refresh();
}

QWidget* HistoryPage::buildFigures() {
    auto* box = new QWidget;
    figures_ = new QGridLayout(box);
    figures_->setContentsMargins(0, 0, 0, 0);
    figures_->setHorizontalSpacing(12);
    figures_->setVerticalSpacing(4);
    for (int column = 0; column < 3; ++column) {
        figures_->addWidget(cell(kColumnTitles[column], palette::plum), 0, column + 1,
                            Qt::AlignRight);
    }
    for (int row = 0; row < 3; ++row) {
        figures_->addWidget(cell(kRowTitles[row], palette::plum), row + 1, 0);
        for (int column = 0; column < 3; ++column) {
            QLabel* value =
                cell("—", palette::accentRose, QString("%1.%2").arg(kRows[row], kColumns[column]));
            value->setAccessibleName(QString("%1%2").arg(kRowTitles[row], kColumnTitles[column]));
            figures_->addWidget(value, row + 1, column + 1, Qt::AlignRight);
        }
    }
    average_ = cell("", palette::plum, "averagePerDay");
    figures_->addWidget(average_, 4, 0, 1, 4);
    figures_->setColumnStretch(1, 1);
    return box;
}

QWidget* HistoryPage::buildFooter() {
    auto* footer = new QWidget;
    auto* row = new QHBoxLayout(footer);
    row->setContentsMargins(0, 0, 0, 0);
    problem_ = cell("", palette::accentRose, "historyProblem");
    problem_->setWordWrap(true);
    row->addWidget(problem_, 1);
    auto* exporter = new QPushButton("导出 CSV…");
    exporter->setObjectName("exportCsv");
    exporter->setFont(viewFont(kFigurePixels));
    exporter->setStyleSheet(styles::borderedButton());
    exporter->setEnabled(history_ != nullptr);
    connect(exporter, &QPushButton::clicked, this, [this] { exportCsv(); });
    row->addWidget(exporter);
    return footer;
}

QString HistoryPage::figure(const char* row, const char* column) const {
    const auto* label = findChild<QLabel*>(QString("%1.%2").arg(row, column));
    return label != nullptr ? label->text() : QString();
}

void HistoryPage::refresh() {
    if (!OnScreenWatch::canBeSeen(*this)) {
        return;
    }
    if (history_ == nullptr) {
        problem_->setText("历史记录未保存");
        return;
    }
    const bool masked = store_.privacy();
    const HistorySummary summary =
        summarize(*history_, store_.today(), store_.currentRecord(), store_.week());
    const Totals* totals[] = {&summary.today, &summary.week, &summary.month};
    for (int row = 0; row < 3; ++row) {
        const QString texts[] = {money(totals[row]->earned, masked),
                                 QString::number(totals[row]->paidSeconds / 3600.0, 'f', 2),
                                 QString::number(totals[row]->days)};
        for (int column = 0; column < 3; ++column) {
            auto* label =
                qobject_cast<QLabel*>(figures_->itemAtPosition(row + 1, column + 1)->widget());
            if (label->text() != texts[column]) {
                label->setText(texts[column]);
            }
        }
    }
    const QString average = "本月每个上班日平均 " + money(summary.averagePerDayWorked, masked);
    if (average_->text() != average) {
        average_->setText(average);
    }
    chart_->show(summary.chart, masked);
    const QString problem = QString::fromStdString(history_->problem());
    if (problem_->text() != problem) {
        problem_->setText(problem);
    }
}

void HistoryPage::exportCsv() {
    const QString path =
        QFileDialog::getSaveFileName(this, "导出 CSV", "orvelle-history.csv", "CSV (*.csv)");
    if (path.isEmpty()) {
        return;
    }
    std::vector<DayTotal> days = history_->lastDays(kAllDays);
    addOpenSession(days, history_->running(), store_.currentRecord());
    // The file holds the figures themselves: privacy hides amounts on screen, not in a file the
    // user asked for.
    const std::string text = historyText(days, HistoryFormat::csv, false);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size()) ||
        !file.commit()) {
        problem_->setText("无法导出到 " + path + "：" + file.errorString());
    }
}

}  // namespace orvelle
