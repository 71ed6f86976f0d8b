// q815ctl baud and reset: the commands of the speed list and of "SPI Send
// Reset", the board's reply on standard output.
#include "cli/CtlBoard.h"
#include "cli/CtlCommand.h"
#include "link/BoardProtocol.h"

namespace {

int SendOne(CtlContext& c, const QString& command)
{
    CtlBoard board(c);
    if (const int opened = board.Open())
        return opened;
    const CtlBoard::Reply reply = board.Exchange(command);
    if (reply.exit == ExitDone)
        c.io.Line(reply.text);
    return reply.exit;
}

} // namespace

int RunBaud(CtlContext& c)
{
    const QString rate = c.arguments.value(0);
    const auto entry =
        std::find_if(UartSpeedEntries.begin(), UartSpeedEntries.end(),
                     [&](const char* speed) { return rate == QLatin1String(speed); });
    if (c.arguments.size() != 1 || entry == UartSpeedEntries.end())
        return c.io.Usage(QStringLiteral("Give one of the UART speeds 7200, 14400, 28800, "
                                         "57600, 115200, 230400, 460800 or 921600."),
                          QStringLiteral("baud"));
    return SendOne(c, UartSpeedCommand(int(entry - UartSpeedEntries.begin())));
}

int RunReset(CtlContext& c)
{
    return SendOne(c, SpiResetCommand());
}
