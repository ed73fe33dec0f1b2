#pragma once

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimeEdit>

#include "fakes/StoreHarness.h"
#include "views/SettingsPages.h"

namespace orvelle::test {

// The settings window's pages on a store of fakes at 09:00, driven through their real widgets; it
// opens on the salary page.
class SettingsPageFixture : public ::testing::Test {
protected:
    SettingsPageFixture() {
        view.resize(460, 420);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    SalaryStore& launchAtNine() {
        harness.setLocal({2026, 3, 2, 9, 0});
        return harness.launch();
    }

    template <typename T = QWidget>
    T* find(const char* name) {
        T* widget = view.findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    // Lets the page catch up with the store's announcements.
    void settle() { QCoreApplication::processEvents(); }
    QString text(const char* label) { return find<QLabel>(label)->text(); }
    void click(const char* button) {
        QTest::mouseClick(find<QAbstractButton>(button), Qt::LeftButton);
        settle();
    }
    void type(const char* amount) {
        find<QLineEdit>("amountField")->selectAll();
        QTest::keyClicks(find<QLineEdit>("amountField"), amount);
    }
    void setTime(const char* field, int hour, int minute = 0) {
        find<QTimeEdit>(field)->setTime(QTime(hour, minute));
    }

    StoreHarness harness;
    SettingsPages view{launchAtNine(), DesktopActions{}};
};

}  // namespace orvelle::test
