#pragma once

class QAbstractButton;
class QObject;

namespace orvelle {

// What a segment of an exclusive button group is to a screen reader: one choice of several, or
// the tab of a page.
enum class SegmentRole { radioButton, pageTab };

// Makes screen readers take `button`, a checkable segment of an exclusive group, for a radio
// button or a page tab rather than a toggle button.
void exposeSegment(QAbstractButton& button, SegmentRole role);

// Makes `object` use the interface Orvelle's factory makes for its class, even where one was made
// before the factory was installed (the capsule's view calls it once it is built).
void useOwnAccessibleInterface(QObject& object);

}  // namespace orvelle
