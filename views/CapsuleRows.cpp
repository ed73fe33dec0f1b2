#include "views/CapsuleRows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSignalBlocker>

#include "views/DesktopCard.h"
#include "views/Fonts.h"

namespace orvelle {

namespace {

QComboBox* percentChoice(const char* name, std::initializer_list<int> percents) {
    auto* box = new QComboBox;
    box->setObjectName(name);
    box->setFont(viewFont(kRowPixels));
    for (const int percent : percents) {
        box->addItem(QStringLiteral("%1 %").arg(percent), percent);
    }
    return box;
}

}  // namespace

CapsuleRows::CapsuleRows(SalaryStore& store, DesktopCard& card)
    : QObject(&card),
      store_(store),
      scale_(percentChoice("capsuleScale", {100, 125, 150, 200})),
      opacity_(percentChoice("capsuleOpacity", {100, 90, 80, 70, 60, 50, 40})),
      privacy_(new QCheckBox),
      rememberPosition_(new QCheckBox),
      clickThrough_(new QCheckBox) {
    privacy_->setObjectName("privacy");
    rememberPosition_->setObjectName("rememberPosition");
    clickThrough_->setObjectName("clickThrough");
    card.addRow("悬浮胶囊大小", scale_);
    card.addRow("悬浮胶囊不透明度", opacity_);
    card.addRow("隐藏金额（屏幕共享时）", privacy_);
    card.addRow("记住位置", rememberPosition_);
    // With it on the capsule takes no click: its menu is in the tray, or a second start away.
    card.addRow("鼠标穿透", clickThrough_);
    const auto setLook = [this] {
        store_.setCapsuleLook(scale_->currentData().toInt(), opacity_->currentData().toInt());
    };
    connect(scale_, &QComboBox::activated, this, setLook);
    connect(opacity_, &QComboBox::activated, this, setLook);
    connect(privacy_, &QCheckBox::clicked, this, [this](bool on) { store_.setPrivacy(on); });
    connect(rememberPosition_, &QCheckBox::clicked, this,
            [this](bool on) { store_.setRememberPosition(on); });
    connect(clickThrough_, &QCheckBox::clicked, this,
            [this](bool on) { store_.setClickThrough(on); });
    refresh();
    subscription_ = store_.subscribe([this](StoreProperty) { refresh(); },
                                     {StoreProperty::capsuleLook, StoreProperty::privacy});
}

void CapsuleRows::refresh() {
    const QSignalBlocker blockScale(scale_);
    const QSignalBlocker blockOpacity(opacity_);
    scale_->setCurrentIndex(scale_->findData(store_.capsuleScalePercent()));
    // An opacity stored by hand between two choices shows as the nearest one below it.
    int opacity = opacity_->findData(store_.capsuleOpacityPercent() / 10 * 10);
    opacity_->setCurrentIndex(std::max(opacity, 0));
    privacy_->setChecked(store_.privacy());
    rememberPosition_->setChecked(store_.rememberPosition());
    clickThrough_->setChecked(store_.clickThrough());
}

}  // namespace orvelle
