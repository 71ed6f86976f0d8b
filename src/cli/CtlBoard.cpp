#include "cli/CtlBoard.h"

#include "cli/Interrupt.h"
#include "link/PipeLayout.h"
#include "selection/Backends.h"
#include "selection/BoardChoice.h"

#include <QCoreApplication>
#include <QDateTime>

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

CtlBoard::CtlBoard(CtlContext& context) : c_(context), link_(context.backend)
{
    link_.SetReplyTimeLimit(c_.replyLimitMs);
    connect(&link_, &BoardLink::MessageRequested, this, &CtlBoard::Say);
    OnOpenRefused(c_.backend, [this](const QString& text) { Say(text); });
    // Nobody reads the link's console text here: its count starts again after
    // every chunk, so that it never reaches the limit at which a chunk would be
    // dropped instead of shown.
    connect(&link_, &BoardLink::ConsoleAppended, this, [this] { link_.ClearConsole(); });
    // A signal ends the wait for a reply, and every exchange after it.
    if (Interrupt* interrupt = Interrupt::Current())
        connect(interrupt, &Interrupt::Caught, this, [this] { link_.Shutdown(); });
}

void CtlBoard::Say(const QString& text)
{
    if (open_)
        c_.io.Message(text);
    else
        messages_ << text;
}

int CtlBoard::RefuseSeveral()
{
    QList<usb::BoardListing> boards;
    if (c_.backend.ListBoards(boards) != usb::StatusSuccess || boards.size() < 2)
        return ExitDone;
    QString text = QStringLiteral("%1 boards with the ids %2 are plugged in; choose one:")
                       .arg(boards.size())
                       .arg(c_.selection.IdsText());
    for (const usb::BoardListing& board : std::as_const(boards)) {
        const QString option = PickingOption(board, boards);
        const QString port = option.startsWith(QLatin1String("--port"))
                                 ? QString()
                                 : QStringLiteral("port %1, ").arg(board.port.Text());
        text += QStringLiteral("\n  %1  (%2%3)").arg(option, port, PipeLayoutName(board.endpoints));
    }
    return c_.io.Fail(CtlError::NoBoard, text);
}

int CtlBoard::Open()
{
    if (const int several = RefuseSeveral())
        return several;
    if (const std::int32_t failure = link_.CreateObjects(); failure != 0)
        return c_.io.Fail(CtlError::NoBoard,
                          QStringLiteral("USB cannot be used: %1").arg(usb::StatusText(failure)));
    link_.StartLink();
    // A refusal to open the board is posted to this thread: take it in.
    QCoreApplication::sendPostedEvents();
    if (!link_.USBState(0) && messages_.isEmpty()) {
        // A board that is there and refused to be opened says why.
        QList<usb::BoardListing> boards;
        c_.backend.ListBoards(boards);
        for (const usb::BoardListing& board : std::as_const(boards)) {
            if (board.access != usb::StatusSuccess)
                messages_ << QStringLiteral("the board at port %1 cannot be opened: %2")
                                 .arg(board.port.Text(), usb::StatusText(board.access));
        }
    }
    if (!link_.USBState(0) && messages_.isEmpty()) {
        messages_ << NoBoardText(c_.selection) + QStringLiteral(" (see 'q815ctl list')");
        if (const QString hint = CandidateHint(FindCandidates(c_.backend)); !hint.isEmpty())
            messages_ << hint;
    }
    if (!messages_.isEmpty()) {
        // The first is the cause; what followed from it is said after it, but
        // for a board that another program holds: every transfer on it fails
        // then, and saying so would only hide the cause.
        const int exit = c_.io.Fail(CtlError::NoBoard, messages_.constFirst());
        if (messages_.constFirst() != usb::StatusText(usb::StatusBusy)) {
            for (const QString& text : messages_.mid(1))
                c_.io.Message(text);
        }
        return exit;
    }
    if (!link_.CommandEndpointsBound())
        return c_.io.Fail(CtlError::NoBoard,
                          QStringLiteral("the board offers only its download pipe (endpoint 6) "
                                         "and takes no commands"));
    open_ = true;
    return ExitDone;
}

QString CtlBoard::LimitText() const
{
    return QStringLiteral("%1 s").arg(c_.replyLimitMs / 1000.0);
}

int CtlBoard::Interrupted()
{
    return Interrupt::Signal() == 0 ? 0 : 128 + Interrupt::Signal();
}

CtlBoard::Reply CtlBoard::Exchange(const QString& command)
{
    Reply reply;
    if ((reply.exit = Interrupted()))
        return reply;
    const QDateTime sent = QDateTime::currentDateTimeUtc();
    const ExchangeResult result = link_.Exchange(command);
    reply.text = result.text;
    if (c_.verbose)
        c_.io.Message(QStringLiteral("%1 %2 ms  %3  ->  %4")
                          .arg(sent.toString(Qt::ISODateWithMs))
                          .arg(sent.msecsTo(QDateTime::currentDateTimeUtc()))
                          .arg(command, reply.text));
    if ((reply.exit = Interrupted()))
        return reply;
    reply.exit = ExitOf(result.outcome);
    Explain(command, reply);
    return reply;
}

int CtlBoard::Explain(const QString& command, const Reply& reply)
{
    switch (reply.exit) {
    case ExitNoBoard:
        return c_.io.Fail(CtlError::NoBoard,
                          QStringLiteral("%1: the board's command pipe refused the command (No "
                                         "USB); is the board still plugged in?")
                              .arg(command));
    case ExitNoAnswer:
        return c_.io.Fail(
            CtlError::NoAnswer,
            QStringLiteral("%1: the board did not answer within %2").arg(command, LimitText()));
    case ExitFailed:
        return c_.io.Fail(CtlError::BoardFailure,
                          QStringLiteral("%1: the board answered %2").arg(command, reply.text));
    default:
        return reply.exit;
    }
}
