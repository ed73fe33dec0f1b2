// Renders the capsule in each of its states and each page of the settings window at a sample
// amount into PNG files, for the README:
//   orvelle_render_views OUTPUT_FOLDER
#include <cstdlib>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "fakes/StoreHarness.h"
#include "views/FloatingAmountView.h"
#include "views/SettingsPages.h"

using namespace orvelle;

namespace {

// The capsule as it shows now, at a device pixel ratio of 2.
QImage capsuleImage(SalaryStore& store) {
    FloatingAmountView capsule(
        store, [] {}, [] {});
    QImage image(QSize(150, 90) * 2, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    image.fill(Qt::transparent);
    capsule.render(&image);
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    const QString folder = argc > 1 ? argv[1] : ".";

    test::StoreHarness harness;
    harness.setLocal({2026, 3, 2, 9, 0});
    SalaryStore& store = harness.launch();
    store.setMode(SalaryMode::monthly);
    store.setAmountText("26,000");
    WorkdayRules rules;
    rules.breakEnabled = true;
    rules.afterEnd = AfterEnd::overtime;
    store.setWorkday(rules);
    const QImage resting = capsuleImage(store);
    store.startWork();
    const auto at = [&](int hour, int minute) {
        harness.setLocal({2026, 3, 2, hour, minute, 18});
        harness.scheduler.tick();
        return capsuleImage(store);
    };
    const QImage lunch = at(12, 20);
    const QImage overtime = at(19, 5);
    const QImage working = at(15, 42);
    capsuleImage(store).save(folder + "/capsule.png");
    store.setPrivacy(true);
    const QImage hidden = capsuleImage(store);
    store.setPrivacy(false);

    // Working, the break, overtime, at rest, private: side by side.
    QImage strip(QSize(5 * 160, 90) * 2, QImage::Format_ARGB32_Premultiplied);
    strip.setDevicePixelRatio(2);
    strip.fill(Qt::transparent);
    QPainter painter(&strip);
    int x = 0;
    for (const QImage& image : {working, lunch, overtime, resting, hidden}) {
        painter.drawImage(QPoint(x, 0), image);
        x += 160;
    }
    painter.end();
    strip.save(folder + "/capsule-states.png");

    DesktopActions desktop{[] { return true; }, [](bool) { return std::string(); }, [] {}};
    SettingsPages settings(store, desktop);
    settings.resize(460, 420);
    settings.show();
    const char* names[] = {"settings.png", "settings-workday.png", "settings-capsule.png"};
    for (const auto page : {SettingsPages::Page::salary, SettingsPages::Page::workday,
                            SettingsPages::Page::capsule}) {
        settings.showPage(page);
        QCoreApplication::processEvents();
        settings.grab().save(folder + "/" + names[static_cast<int>(page)]);
    }
    return 0;
}
