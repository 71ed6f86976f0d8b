#pragma once
// Ctrl-C (SIGINT) and SIGTERM, turned into a call on the event loop's thread,
// so that a sub-command that runs until it is stopped ends cleanly: its
// output and log complete, the board let go of. Where the platform has no
// POSIX signals the default (the process ends) stays.
#include <QObject>
#include <functional>

class QSocketNotifier;

class Interrupt : public QObject {
    Q_OBJECT
public:
    // onInterrupt runs on this thread, once per signal, for as long as this lives.
    explicit Interrupt(std::function<void()> onInterrupt, QObject* parent = nullptr);
    ~Interrupt() override;

private:
    std::function<void()> onInterrupt_;
    QSocketNotifier* notifier_ = nullptr;
};
