#include "platform/desktop/DesktopNotifier.h"

#include <ostream>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QStringList>
#include <QVariantMap>

namespace orvelle {

namespace {

const char* const kService = "org.freedesktop.Notifications";
const char* const kPath = "/org/freedesktop/Notifications";
constexpr int kServerDefaultTimeout = -1;

}  // namespace

DesktopNotifier::DesktopNotifier(QString appId, std::ostream& diagnostics)
    : appId_(std::move(appId)), diagnostics_(diagnostics) {}

void DesktopNotifier::notify(const std::string& summary, const std::string& body) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        failed(bus.lastError().message());
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, "Notify");
    const QVariantMap hints{{"desktop-entry", appId_}};
    call << appId_ << 0U << appId_ << QString::fromStdString(summary)
         << QString::fromStdString(body) << QStringList() << hints << kServerDefaultTimeout;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), &calls_);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &calls_,
                     [this](QDBusPendingCallWatcher* done) {
                         if (done->isError()) {
                             failed(done->error().message());
                         } else {
                             ++delivered_;
                         }
                         done->deleteLater();
                     });
}

void DesktopNotifier::failed(const QString& why) {
    if (failures_++ == 0) {
        diagnostics_ << "orvelle: 无法显示桌面通知（" << why.toStdString()
                     << "），本次运行不再提示\n"
                     << std::flush;
    }
}

}  // namespace orvelle
