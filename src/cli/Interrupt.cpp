#include "cli/Interrupt.h"

#include <csignal>

namespace {
Interrupt* current = nullptr;
volatile std::sig_atomic_t caught = 0;
} // namespace

Interrupt* Interrupt::Current()
{
    return current;
}

int Interrupt::Signal()
{
    return caught;
}

QString Interrupt::SignalName()
{
    return caught == SIGINT ? QStringLiteral("Ctrl-C (SIGINT)") : QStringLiteral("SIGTERM");
}

#ifdef Q_OS_UNIX
#include <QSocketNotifier>
#include <fcntl.h>
#include <unistd.h>

namespace {

int wakePipe[2] = {-1, -1};

// Only async-signal-safe work here: the note and one byte into the pipe.
void OnSignal(int signal)
{
    if (caught == 0)
        caught = signal;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(wakePipe[1], &byte, 1);
}

void Handle(void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

} // namespace

Interrupt::Interrupt(QObject* parent) : QObject(parent)
{
    caught = 0;
    current = this;
    if (wakePipe[0] < 0) {
        if (pipe(wakePipe) != 0)
            return; // Ctrl-C then ends the process, as by default
        for (int fd : wakePipe)
            fcntl(fd, F_SETFD, FD_CLOEXEC);
        fcntl(wakePipe[1], F_SETFL, O_NONBLOCK);
    }
    notifier_ = new QSocketNotifier(wakePipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        if (read(wakePipe[0], &byte, 1) == 1)
            Q_EMIT Caught();
    });
    Handle(OnSignal);
}

Interrupt::~Interrupt()
{
    if (notifier_ != nullptr)
        Handle(SIG_DFL);
    current = nullptr;
}

#else

Interrupt::Interrupt(QObject* parent) : QObject(parent)
{
    caught = 0;
    current = this;
}

Interrupt::~Interrupt()
{
    current = nullptr;
}

#endif
