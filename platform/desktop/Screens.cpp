#include "platform/desktop/Screens.h"

#include <QGuiApplication>
#include <QScreen>

namespace orvelle {

namespace {

ScreenGeometry geometryOf(const QScreen& screen) {
    return {screen.geometry(), screen.availableGeometry()};
}

}  // namespace

std::optional<ScreenGeometry> QtScreens::mainScreen() const {
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary == nullptr || QGuiApplication::screens().isEmpty()) {
        return std::nullopt;
    }
    return geometryOf(*primary);
}

std::vector<ScreenGeometry> QtScreens::screens() const {
    std::vector<ScreenGeometry> result;
    for (const QScreen* screen : QGuiApplication::screens()) {
        result.push_back(geometryOf(*screen));
    }
    return result;
}

}  // namespace orvelle
