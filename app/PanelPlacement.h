#pragma once

#include <optional>

#include <QPoint>
#include <QRect>
#include <QSize>

#include "platform/desktop/Screens.h"

namespace orvelle {

// The gaps, in logical pixels, that the panel keeps from the edges of the usable screen area.
struct PanelInsets {
    int floatingMargin = 12;  // smallest gap to any edge
    int rightInset = 96;      // extra gap at the right, beyond anything docked there
    int topInset = 72;        // preferred gap below the top
};

// Returns where the panel's top-left corner goes: on the main screen (else the first one), at the
// right side, `topInset` below the top of the usable area and kept within the margins. Returns
// nothing when there is no screen at all; the panel is then centred.
std::optional<QPoint> panelTopLeft(const ScreenSource& screens, QSize panel,
                                   const PanelInsets& insets);

// Returns whether the centre of `frame` lies on one of the screens. A window manager that sees a
// screen go away may leave a window with a sliver on another one; that does not count.
bool centreLiesOnAScreen(const ScreenSource& screens, const QRect& frame);

}  // namespace orvelle
