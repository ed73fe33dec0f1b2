#pragma once

#include <iosfwd>

#include <QObject>
#include <QString>

#include "platform/api/Notifier.h"

namespace orvelle {

// Notifications through the freedesktop notification service on the session bus. The call is
// asynchronous, so a slow or absent service never holds up the GUI thread. Where no session bus
// or no service answers, the notification is dropped and the first such failure of the run is
// said on `diagnostics` in one line; later ones are not, so that every end of day does not repeat
// it.
class DesktopNotifier final : public Notifier {
public:
    // `appId` names the application (and its icon) to the service.
    DesktopNotifier(QString appId, std::ostream& diagnostics);

    void notify(const std::string& summary, const std::string& body) override;

    // Returns how many notifications the service has taken so far.
    int delivered() const { return delivered_; }

private:
    void failed(const QString& why);

    QString appId_;
    std::ostream& diagnostics_;
    int delivered_ = 0;
    int failures_ = 0;  // refused or failed: the first is said, the rest are not
    QObject calls_;     // parent of the calls in flight, which end with the notifier
};

}  // namespace orvelle
