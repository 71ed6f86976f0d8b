#pragma once
// Ctrl-C (SIGINT) and SIGTERM, one rule for every sub-command: while an
// Interrupt lives, the signal does not end the process; it is noted at once
// (Signal()) and announced on the event loop's thread (Caught), so that the
// exchange that waits ends, the picture in flight is discarded, nothing new
// starts, and what was done is reported before the run ends with 128 + the
// signal's number. Where the platform has no POSIX signals the default (the
// process ends) stays.
#include <QObject>

class QSocketNotifier;

class Interrupt : public QObject {
    Q_OBJECT
public:
    explicit Interrupt(QObject* parent = nullptr);
    ~Interrupt() override;

    // The one that lives, or nullptr.
    static Interrupt* Current();
    // The first signal caught while one lives (0: none).
    static int Signal();
    // "Ctrl-C (SIGINT)" or "SIGTERM".
    static QString SignalName();

Q_SIGNALS:
    void Caught();

private:
    QSocketNotifier* notifier_ = nullptr;
};
