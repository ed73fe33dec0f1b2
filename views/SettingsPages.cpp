#include "views/SettingsPages.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyle>

#include "views/AccessibleRoles.h"
#include "views/CapsuleRows.h"
#include "views/CardFrame.h"
#include "views/ContentView.h"
#include "views/DesktopCard.h"
#include "views/Fonts.h"
#include "views/HistoryPage.h"
#include "views/Palette.h"
#include "views/Styles.h"
#include "views/WeekRows.h"
#include "views/WorkdayRows.h"

namespace orvelle {

namespace {

constexpr int kButtonPixels = 13;
constexpr int kPageMargin = 16;
// The page buttons sit at the right of the salary page's "Orvelle" headline, so that the designed
// page keeps all of its height; the other pages start below them.
constexpr int kHeadlineHeight = 52;
constexpr int kAdditionsTop = kPageMargin + kHeadlineHeight + kPageMargin / 2;

struct PageButton {
    SettingsPages::Page page;
    const char* title;
    const char* name;
};
constexpr PageButton kPageButtons[] = {{SettingsPages::Page::salary, "薪资", "pageSalary"},
                                       {SettingsPages::Page::workday, "工作日", "pageWorkday"},
                                       {SettingsPages::Page::capsule, "胶囊", "pageCapsule"},
                                       {SettingsPages::Page::history, "历史", "pageHistory"}};

// The width of the salary page's scroll bar, which the other pages leave free too so that every
// page's cards and the page buttons line up at the right.
int scrollBarWidth(const QWidget& widget) {
    return widget.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &widget);
}

// Whether a page's cards keep their own height, from the top, or fill the page.
enum class Stretch { below, none };

// A page of the additions: its cards in a column, from the top.
QWidget* column(std::initializer_list<QWidget*> cards, Stretch stretch = Stretch::below) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(kPageMargin, kAdditionsTop, kPageMargin + scrollBarWidth(*page),
                               kPageMargin);
    layout->setSpacing(kPageMargin);
    for (QWidget* card : cards) {
        layout->addWidget(card);
    }
    if (stretch == Stretch::below) {
        layout->addStretch(1);
    }
    return page;
}

}  // namespace

SettingsPages::SettingsPages(SalaryStore& store, DesktopActions desktop, QWidget* parent)
    : QWidget(parent), buttons_(new QButtonGroup(this)), pages_(new QStackedWidget) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    pages_->addWidget(new ContentView(store));
    pages_->addWidget(buildWorkdayPage(store));
    pages_->addWidget(buildCapsulePage(store, std::move(desktop)));
    pages_->addWidget(column({new HistoryPage(store)}, Stretch::none));
    layout->addWidget(pages_);
    buttonRow_ = buildButtonRow();
    buttonRow_->setParent(this);
    buttonRow_->adjustSize();
    buttonRow_->raise();
    showPage(Page::salary);
}

void SettingsPages::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    buttonRow_->move(width() - buttonRow_->width() - kPageMargin - scrollBarWidth(*this),
                     kPageMargin + (kHeadlineHeight - buttonRow_->height()) / 2);
}

QWidget* SettingsPages::buildButtonRow() {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const int count = static_cast<int>(std::size(kPageButtons));
    for (int i = 0; i < count; ++i) {
        auto* button = new QPushButton(kPageButtons[i].title);
        button->setObjectName(kPageButtons[i].name);
        button->setAccessibleName(QStringLiteral("%1页").arg(kPageButtons[i].title));
        button->setCheckable(true);
        button->setFont(viewFont(kButtonPixels));
        button->setStyleSheet(styles::segmentedButton(i == 0, i == count - 1));
        exposeSegment(*button, SegmentRole::pageTab);
        buttons_->addButton(button, static_cast<int>(kPageButtons[i].page));
        layout->addWidget(button);
    }
    connect(buttons_, &QButtonGroup::idClicked, this,
            [this](int id) { showPage(static_cast<Page>(id)); });
    return row;
}

QWidget* SettingsPages::buildWorkdayPage(SalaryStore& store) {
    auto* card = new CardFrame(10);
    card->content()->addWidget(
        styles::label("工作日", viewFont(kTitlePixels, QFont::DemiBold), palette::sectionPink));
    card->content()->addWidget(new WorkdayRows(store));
    card->content()->addWidget(new WeekRows(store));
    return column({card});
}

QWidget* SettingsPages::buildCapsulePage(SalaryStore& store, DesktopActions desktop) {
    auto* card = new DesktopCard(std::move(desktop));
    new CapsuleRows(store, *card);
    return column({card});
}

void SettingsPages::showPage(Page page) {
    pages_->setCurrentIndex(static_cast<int>(page));
    buttons_->button(static_cast<int>(page))->setChecked(true);
}

// Keys no control took (Return on a page button, say) go to the page shown, as they would if the
// page were the whole window: Return on the salary page starts or stops work.
void SettingsPages::keyPressEvent(QKeyEvent* event) {
    QCoreApplication::sendEvent(pages_->currentWidget(), event);
}

void SettingsPages::paintEvent(QPaintEvent*) {
    styles::paintPageBackground(*this);
}

}  // namespace orvelle
