#include "views/DesktopCard.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace orvelle {
namespace {

// An autostart entry that lives in memory and can be made to fail.
struct FakeDesktop {
    bool enabled = false;
    std::string failure;
    int resets = 0;

    DesktopActions actions() {
        return {[this] { return enabled; },
                [this](bool on) {
                    if (failure.empty()) {
                        enabled = on;
                    }
                    return failure;
                },
                [this] { ++resets; }};
    }
};

TEST(DesktopCardTest, RowsDriveTheDesktopAndShowWhatFailed) {
    FakeDesktop desktop;
    desktop.enabled = true;
    DesktopCard card(desktop.actions());
    card.show();
    auto* autostart = card.findChild<QCheckBox*>("autostart");
    ASSERT_NE(autostart, nullptr);
    EXPECT_TRUE(autostart->isChecked());

    QTest::mouseClick(autostart, Qt::LeftButton);
    EXPECT_FALSE(desktop.enabled);
    EXPECT_FALSE(autostart->isChecked());

    desktop.failure = "无法写入自启动项";
    QTest::mouseClick(autostart, Qt::LeftButton);
    EXPECT_FALSE(autostart->isChecked()) << "the box shows the entry as it is, not the wish";
    EXPECT_TRUE(card.findChild<QLabel*>("desktopError")->isVisible());
    EXPECT_EQ(card.findChild<QLabel*>("desktopError")->text(), "无法写入自启动项");

    QTest::mouseClick(card.findChild<QPushButton*>("resetPosition"), Qt::LeftButton);
    EXPECT_EQ(desktop.resets, 1);

    desktop.enabled = true;  // turned on through the tray while the card was hidden
    card.hide();
    card.show();
    EXPECT_TRUE(autostart->isChecked());
}

TEST(DesktopCardTest, OffersOnlyTheActionsGiven) {
    DesktopActions onlyReset;
    onlyReset.resetPanelPosition = [] {};
    const DesktopCard card(onlyReset);
    EXPECT_EQ(card.findChild<QCheckBox*>("autostart"), nullptr);
    EXPECT_NE(card.findChild<QPushButton*>("resetPosition"), nullptr);
}

}  // namespace
}  // namespace orvelle
