// q815ctl: the Q815 camera evaluation board from a shell.
#include "cli/CtlRun.h"
#include "common/EventLoop.h"
#include "common/QtNotices.h"
#include "selection/Backends.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <memory>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

bool IsTerminal(int fd)
{
#ifdef Q_OS_UNIX
    return isatty(fd) == 1;
#else
    Q_UNUSED(fd);
    return false;
#endif
}

// The virtual board's camera draws its test pictures with the application's
// fonts: that takes a QGuiApplication, on no screen. Everything else needs
// only QtCore.
std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char** argv, bool simulate)
{
    if (!simulate || qEnvironmentVariableIsSet("Q815_SIMULATED_PICTURE"))
        return std::make_unique<QCoreApplication>(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}

// Standard streams closed by the caller (">&-") are held by /dev/null, so
// that no file or descriptor the program opens takes their number and gets
// what was meant for them. True when standard output was closed.
bool HoldClosedStreams()
{
#ifdef Q_OS_UNIX
    bool outClosed = false;
    for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (fcntl(fd, F_GETFD) != -1)
            continue;
        outClosed = outClosed || fd == STDOUT_FILENO;
        const int null = open("/dev/null", O_RDWR);
        if (null >= 0 && null != fd) {
            dup2(null, fd);
            close(null);
        }
    }
    return outClosed;
#else
    return false;
#endif
}

} // namespace

int main(int argc, char** argv)
{
    const bool outClosed = HoldClosedStreams();
    QFile out;
    QFile err;
    out.open(1, QIODevice::WriteOnly | QIODevice::Unbuffered, QFile::DontCloseHandle);
    err.open(2, QIODevice::WriteOnly | QIODevice::Unbuffered, QFile::DontCloseHandle);
    CtlIo io(out, err, IsTerminal(2));
    io.SetOutIsTerminal(IsTerminal(1));
    if (outClosed)
        io.SetOutClosed();

    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    CtlInvocation invocation = ParseCtl(arguments, qEnvironmentVariable("Q815EVM_DEVICE"), io);
    if (invocation.exit >= 0)
        return invocation.exit;

    PrepareEventLoop();
    DropRuntimeFolderNotice();
    const auto app = MakeApplication(argc, argv, invocation.selection.simulate);
    QCoreApplication::setApplicationName(QStringLiteral("q815ctl"));
    BackendChoice backend(invocation.selection);
    return RunCtl(invocation, io, backend.Backend());
}
