#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace markola {

// Turns SIGTERM, SIGHUP, SIGINT (Ctrl+C in the terminal) and SIGQUIT into a signal of the
// event loop: each ends the program keeping its edits. The handler only writes a byte
// to a socket pair; everything else runs later on the user-interface thread, where it is safe.
// One instance at a time; the signals get their default action back when it is destroyed.
class TerminationSignals : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    bool Received() const { return received_; }

signals:
    void received();

private:
    void Drain();

    bool received_ = false;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace markola
