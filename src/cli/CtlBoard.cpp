#include "cli/CtlBoard.h"

#include "selection/Backends.h"

#include <QCoreApplication>

int ReplyExit(const QString& reply, bool timedOut)
{
    if (reply == QLatin1String("No USB"))
        return ExitNoBoard;
    if (timedOut)
        return ExitNoAnswer;
    return reply.startsWith(QLatin1String("FAIL")) ? ExitFailed : ExitDone;
}

CtlBoard::CtlBoard(usb::UsbBackend& backend, CtlIo& io, const BoardSelection& selection)
    : io_(io), selection_(selection), backend_(backend), link_(backend)
{
    link_.SetReplyTimeLimit(ReplyLimitMs);
    // A wait that ended without a reply ran to its limit.
    connect(&link_, &BoardLink::ReplyWaitEnded, this, [this] {
        if (!link_.State().ReplyArrived && !link_.ShuttingDown())
            ++silentWaits_;
    });
    connect(&link_, &BoardLink::MessageBoxRequested, this, &CtlBoard::Say);
    OnOpenRefused(backend_, [this](const QString& text) { Say(text); });
    // Nobody reads the link's console text here: its count starts again after
    // every chunk, so that it never reaches the limit at which a chunk would be
    // dropped instead of shown.
    connect(&link_, &BoardLink::ConsoleAppended, this, [this] { link_.ClearConsole(); });
}

void CtlBoard::Say(const QString& text)
{
    if (open_)
        io_.Message(text);
    else
        messages_ << text;
}

int CtlBoard::Open()
{
    if (const std::int32_t failure = link_.CreateObjects(); failure != 0) {
        io_.Message(QStringLiteral("USB cannot be used: %1").arg(usb::StatusText(failure)));
        return ExitNoBoard;
    }
    link_.StartLink();
    // A refusal to open the board is posted to this thread: take it in.
    QCoreApplication::sendPostedEvents();
    if (!link_.USBState(0) && messages_.isEmpty()) {
        const QString where = selection_.port.Empty()
                                  ? QString()
                                  : QStringLiteral(" at port %1").arg(selection_.port.Text());
        messages_ << QStringLiteral("no board with the ids %1 is plugged in%2 (see 'q815ctl list')")
                         .arg(selection_.IdsText(), where);
    }
    if (!messages_.isEmpty()) {
        for (const QString& text : std::as_const(messages_))
            io_.Message(text);
        return ExitNoBoard;
    }
    if (!link_.CommandEndpointsBound()) {
        io_.Message(QStringLiteral("the board offers only its download pipe (endpoint 6) and "
                                   "takes no commands"));
        return ExitNoBoard;
    }
    open_ = true;
    return ExitDone;
}

CtlBoard::Reply CtlBoard::Exchange(const QString& command)
{
    TakeSilentWaits();
    Reply reply;
    reply.text = link_.DownLoadCommand(command);
    reply.exit = ReplyExit(reply.text, TakeSilentWaits() > 0);
    Explain(command, reply);
    return reply;
}

void CtlBoard::Explain(const QString& command, const Reply& reply)
{
    switch (reply.exit) {
    case ExitNoBoard:
        io_.Message(QStringLiteral("%1: the board's command pipe refused the command (No USB); "
                                   "is the board still plugged in?")
                        .arg(command));
        break;
    case ExitNoAnswer:
        io_.Message(QStringLiteral("%1: the board did not answer within %2 s")
                        .arg(command)
                        .arg(ReplyLimitMs / 1000));
        break;
    case ExitFailed:
        io_.Message(QStringLiteral("%1: the board answered %2").arg(command, reply.text));
        break;
    default:
        break;
    }
}
