#include "views/AccessibleRoles.h"

#include <QAbstractButton>
#include <QAccessible>

#include "views/CapsuleAccessible.h"
#include "views/FloatingAmountView.h"
#include "views/SegmentAccessible.h"

namespace orvelle {

namespace {

// The dynamic property that holds a segment's SegmentRole.
constexpr char kSegmentRole[] = "orvelleSegmentRole";

QAccessibleInterface* makeInterface(const QString& className, QObject* object) {
    if (className == QLatin1String(FloatingAmountView::staticMetaObject.className())) {
        return new CapsuleAccessible(static_cast<FloatingAmountView*>(object));
    }
    const QVariant segment = object->property(kSegmentRole);
    if (segment.isValid() && className == QLatin1String("QPushButton")) {
        const bool tab = static_cast<SegmentRole>(segment.toInt()) == SegmentRole::pageTab;
        return new SegmentAccessible(static_cast<QAbstractButton*>(object),
                                     tab ? QAccessible::PageTab : QAccessible::RadioButton);
    }
    return nullptr;
}

}  // namespace

void useOwnAccessibleInterface(QObject& object) {
    static const bool installed = [] {
        QAccessible::installFactory(makeInterface);
        return true;
    }();
    (void)installed;
    // Setting a widget's text announces the change, and with a screen reader active that makes
    // and caches an interface of Qt's own; it is dropped so that the next query asks the factory.
    QAccessibleInterface* made = QAccessible::queryAccessibleInterface(&object);
    if (made != nullptr && dynamic_cast<SegmentAccessible*>(made) == nullptr &&
        dynamic_cast<CapsuleAccessible*>(made) == nullptr) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    }
}

void exposeSegment(QAbstractButton& button, SegmentRole role) {
    button.setProperty(kSegmentRole, static_cast<int>(role));
    useOwnAccessibleInterface(button);
}

}  // namespace orvelle
