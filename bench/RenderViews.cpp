// Renders the capsule and the settings page at a sample amount into PNG files, for the README:
//   orvelle_render_views OUTPUT_FOLDER
#include <cstdlib>

#include <QApplication>
#include <QImage>

#include "fakes/StoreHarness.h"
#include "views/ContentView.h"
#include "views/FloatingAmountView.h"

using namespace orvelle;

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    const QString folder = argc > 1 ? argv[1] : ".";

    test::StoreHarness harness;
    harness.setLocal({2026, 3, 2, 9, 0});
    SalaryStore& store = harness.launch();
    store.setMode(SalaryMode::monthly);
    store.setAmountText("26,000");
    store.startWork();
    harness.setLocal({2026, 3, 2, 15, 42, 18});
    harness.scheduler.tick();

    FloatingAmountView capsule(
        store, [] {}, [] {});
    QImage capsuleImage(QSize(150, 90) * 2, QImage::Format_ARGB32_Premultiplied);
    capsuleImage.setDevicePixelRatio(2);
    capsuleImage.fill(Qt::transparent);
    capsule.render(&capsuleImage);
    capsuleImage.save(folder + "/capsule.png");

    ContentView settings(store);
    settings.resize(460, 700);
    settings.show();
    QCoreApplication::processEvents();
    settings.grab().save(folder + "/settings.png");
    return 0;
}
