#include "cli/CtlBoard.h"

#include "selection/Backends.h"

#include <QCoreApplication>

int ExitOf(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Done:
        return ExitDone;
    case Outcome::NoAnswer:
        return ExitNoAnswer;
    case Outcome::NoBoard:
    case Outcome::Unplugged:
    case Outcome::Closed:
        return ExitNoBoard;
    case Outcome::BoardFailure:
    case Outcome::NotSent:
        break;
    }
    return ExitFailed;
}

CtlBoard::CtlBoard(usb::UsbBackend& backend, CtlIo& io, const BoardSelection& selection)
    : io_(io), selection_(selection), backend_(backend), link_(backend)
{
    link_.SetReplyTimeLimit(ReplyLimitMs);
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
    const ExchangeResult result = link_.Exchange(command);
    const Reply reply{result.text, ExitOf(result.outcome)};
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
