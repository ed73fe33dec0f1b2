#include "app/PanelPlacement.h"

#include <algorithm>

namespace orvelle {

std::optional<QPoint> panelTopLeft(const ScreenSource& screens, QSize panel,
                                   const PanelInsets& insets) {
    std::optional<ScreenGeometry> screen = screens.mainScreen();
    if (!screen) {
        const auto all = screens.screens();
        if (all.empty()) {
            return std::nullopt;
        }
        screen = all.front();
    }
    const QRect& visible = screen->available;
    const QRect& frame = screen->frame;
    const int visibleRight = visible.x() + visible.width();
    const int rightGap = std::max(frame.x() + frame.width() - visibleRight + insets.rightInset,
                                  insets.floatingMargin);
    const int x = visibleRight - panel.width() - rightGap;

    const int preferred = visible.y() + insets.topInset;
    const int lowest = visible.y() + visible.height() - panel.height() - insets.floatingMargin;
    // The bottom margin first and the top one last: on a very short screen the top margin wins.
    const int y = std::max(visible.y() + insets.floatingMargin, std::min(preferred, lowest));
    return QPoint(x, y);
}

bool centreLiesOnAScreen(const ScreenSource& screens, const QRect& frame) {
    const auto all = screens.screens();
    return std::any_of(all.begin(), all.end(),
                       [&](const ScreenGeometry& s) { return s.frame.contains(frame.center()); });
}

}  // namespace orvelle
