#include "cli/CtlCommand.h"

const QList<CtlCommand>& CtlCommands()
{
    static const QList<CtlCommand> commands = {
        {"list",
         "every board with the ids: where it is plugged in, its serial number, its "
         "pipe layout and whether it can be opened; with --all also devices with "
         "other ids that may be the board",
         "", "", ListOptions, RunList},
        {"info",
         "the chip with its part name and revision, the firmware version and the "
         "twelve command table entries",
         "", "", InfoOptions, RunInfo},
        {"send", "sends each command and prints each reply", "CMD...",
         "Commands to send, each beginning with C: and at most 128 characters long.", SendOptions,
         RunSend},
        {"picture", "fetches a picture from the camera, or a series, and writes it", "", "",
         PictureOptions, RunPicture},
        {"baud", "sets the camera's UART speed", "RATE",
         "7200, 14400, 28800, 57600, 115200, 230400, 460800 or 921600.", NoOptions, RunBaud},
        {"reset", "resets the SPI link to the camera", "", "", NoOptions, RunReset},
        {"console", "prints everything the board sends as it comes", "", "", ConsoleOptions,
         RunConsole},
    };
    return commands;
}

QCommandLineOption JsonOption()
{
    return QCommandLineOption(QStringLiteral("json"),
                              QStringLiteral("Print one JSON document instead of text."));
}

QList<QCommandLineOption> NoOptions()
{
    return {};
}
