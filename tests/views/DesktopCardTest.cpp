#include "views/DesktopCard.h"

#include "fakes/StoreHarness.h"
#include "views/CapsuleRows.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QComboBox>
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

// The capsule rows save each choice at once and follow the store, whoever changed it.
TEST(DesktopCardTest, CapsuleRowsSetTheLookAndFollowTheStore) {
    test::StoreHarness harness;
    SalaryStore& store = harness.launch();
    FakeDesktop desktop;
    DesktopCard card(desktop.actions());
    new CapsuleRows(store, card);
    card.show();
    auto* scale = card.findChild<QComboBox*>("capsuleScale");
    auto* opacity = card.findChild<QComboBox*>("capsuleOpacity");
    auto* privacy = card.findChild<QCheckBox*>("privacy");
    ASSERT_TRUE(scale && opacity && privacy);
    EXPECT_EQ(scale->currentText(), "100 %");
    for (auto [box, percent] : {std::pair{scale, 150}, {opacity, 40}}) {
        box->setCurrentIndex(box->findData(percent));
        box->activated(box->currentIndex());  // as a choice from the list does
    }
    EXPECT_EQ(harness.preferences.integer("salary.capsuleScale"), 150);
    EXPECT_EQ(harness.preferences.integer("salary.capsuleOpacity"), 40);
    QTest::mouseClick(privacy, Qt::LeftButton);
    EXPECT_TRUE(store.privacy());
    store.setPrivacy(false);  // a middle click on the capsule, say
    store.setCapsuleLook(200, 100);
    EXPECT_FALSE(privacy->isChecked());
    EXPECT_EQ(scale->currentText(), "200 %");
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
