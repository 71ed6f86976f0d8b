#include "cli/Interrupt.h"

#ifdef Q_OS_UNIX
#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int wakePipe[2] = {-1, -1};

// Only async-signal-safe work here: one byte into the pipe.
void OnSignal(int /*signal*/)
{
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

Interrupt::Interrupt(std::function<void()> onInterrupt, QObject* parent)
    : QObject(parent), onInterrupt_(std::move(onInterrupt))
{
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
            onInterrupt_();
    });
    Handle(OnSignal);
}

Interrupt::~Interrupt()
{
    if (notifier_ != nullptr)
        Handle(SIG_DFL);
}

#else

Interrupt::Interrupt(std::function<void()> onInterrupt, QObject* parent)
    : QObject(parent), onInterrupt_(std::move(onInterrupt))
{
}

Interrupt::~Interrupt() = default;

#endif
