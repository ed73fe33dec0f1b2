#pragma once

#include <QObject>

class QSocketNotifier;

namespace orvelle {

// Turns SIGTERM and SIGINT into a call of QCoreApplication::quit() on the GUI thread, so that
// they end the application the same clean way as its own quit command. The handler only writes
// to a pipe, which is all a signal handler may safely do.
class UnixSignals final : public QObject {
public:
    explicit UnixSignals(QObject* parent = nullptr);
    ~UnixSignals() override;

private:
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace orvelle
