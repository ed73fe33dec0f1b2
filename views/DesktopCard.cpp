#include "views/DesktopCard.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "views/CardFrame.h"
#include "views/Fonts.h"
#include "views/Palette.h"
#include "views/Styles.h"

namespace orvelle {

namespace {

constexpr int kRowSpacing = 10;
constexpr int kErrorPixels = 12;

}  // namespace

DesktopCard::DesktopCard(DesktopActions actions, QWidget* parent)
    : QWidget(parent), actions_(std::move(actions)) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* card = new CardFrame(kRowSpacing);
    outer->addWidget(card);
    card->content()->addWidget(
        styles::label("桌面", viewFont(kTitlePixels, QFont::DemiBold), palette::sectionPink));
    rows_ = new QVBoxLayout;
    rows_->setSpacing(kRowSpacing);
    card->content()->addLayout(rows_);
    error_ = styles::label({}, viewFont(kErrorPixels), palette::accentRose);
    error_->setObjectName("desktopError");
    error_->setWordWrap(true);
    error_->hide();
    card->content()->addWidget(error_);

    if (actions_.autostartEnabled && actions_.setAutostart) {
        autostart_ = new QCheckBox;
        autostart_->setObjectName("autostart");
        connect(autostart_, &QCheckBox::clicked, this, [this](bool on) { setAutostart(on); });
        addRow("开机自启", autostart_);
        refreshAutostart();
    }
    if (actions_.resetPanelPosition) {
        auto* reset = new QPushButton("重置位置");
        reset->setObjectName("resetPosition");
        reset->setFont(viewFont(kRowPixels));
        reset->setStyleSheet(styles::borderedButton());
        connect(reset, &QPushButton::clicked, this, [this] { actions_.resetPanelPosition(); });
        addRow("把悬浮胶囊放回屏幕右上方", reset);
    }
}

// The caption names a control that has no text of its own for screen readers; a button's own
// text names it, and the caption then describes it.
void DesktopCard::addRow(const QString& caption, QWidget* control) {
    const auto* button = qobject_cast<QAbstractButton*>(control);
    if (button != nullptr && !button->text().isEmpty()) {
        control->setAccessibleDescription(caption);
    } else {
        control->setAccessibleName(caption);
    }
    auto* row = new QHBoxLayout;
    row->addWidget(styles::label(caption, viewFont(kRowPixels), palette::plum));
    row->addStretch(1);
    row->addWidget(control);
    rows_->addLayout(row);
}

void DesktopCard::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refreshAutostart();
}

void DesktopCard::refreshAutostart() {
    if (autostart_ != nullptr) {
        autostart_->setChecked(actions_.autostartEnabled());
    }
}

void DesktopCard::setAutostart(bool on) {
    const std::string error = actions_.setAutostart(on);
    error_->setText(QString::fromStdString(error));
    error_->setVisible(!error.empty());
    refreshAutostart();
}

}  // namespace orvelle
