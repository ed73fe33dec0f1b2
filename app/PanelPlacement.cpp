#include "app/PanelPlacement.h"

#include <algorithm>

namespace orvelle {

namespace {

// The placement rules are stated with y growing upwards from the screen's bottom edge, while Qt's
// y grows downwards. This is the one place that converts between the two: a mirror about the
// chosen screen's bottom edge, which keeps every distance within that screen.
class UpwardY {
public:
    explicit UpwardY(const QRect& screenFrame) : axis_(screenFrame.y() + screenFrame.height()) {}

    int bottomOf(const QRect& qtRect) const { return axis_ - (qtRect.y() + qtRect.height()); }
    int topOf(const QRect& qtRect) const { return axis_ - qtRect.y(); }
    int qtTopFor(int upwardBottom, int height) const { return axis_ - (upwardBottom + height); }

private:
    int axis_;
};

}  // namespace

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
    const int width = panel.width();
    const int height = panel.height();

    const int visibleMaxX = visible.x() + visible.width();
    const int frameMaxX = frame.x() + frame.width();
    const int rightGap =
        std::max(frameMaxX - visibleMaxX + insets.dockSafetyInset, insets.floatingMargin);
    const int x = visibleMaxX - width - rightGap;

    const UpwardY up(frame);
    const int visibleMaxY = up.topOf(visible);
    const int visibleMinY = up.bottomOf(visible);
    const int preferred = visibleMaxY - height - insets.topInset;
    const int lowest = visibleMinY + insets.floatingMargin;
    const int highest = visibleMaxY - height - insets.floatingMargin;
    // The lower bound first and the upper one last: on a very short screen the top margin wins.
    const int y = std::min(highest, std::max(preferred, lowest));
    return QPoint(x, up.qtTopFor(y, height));
}

bool centreLiesOnAScreen(const ScreenSource& screens, const QRect& frame) {
    const auto all = screens.screens();
    return std::any_of(all.begin(), all.end(),
                       [&](const ScreenGeometry& s) { return s.frame.contains(frame.center()); });
}

}  // namespace orvelle
