#pragma once
// q815ctl's sub-commands as a table: each names its options and its runner.
#include "cli/CtlIo.h"
#include "selection/BoardSelection.h"

#include <QCommandLineParser>
#include <QJsonObject>
#include <QList>
#include <QStringList>

namespace usb {
class UsbBackend;
}

// What a sub-command runs with.
struct CtlContext {
    CtlIo& io;
    const QCommandLineParser& parser; // parsed with the sub-command's options
    QStringList arguments;            // the words after the sub-command's name
    BoardSelection selection;
    usb::UsbBackend& backend;
    int replyLimitMs = 3000; // --timeout
    bool verbose = false;    // each exchange on standard error
    bool json = false;       // --json given
    bool jsonLines = false;  // a JSON object per line: the last only on failure
    // With --json: what the command did, printed once when it ends, with the
    // "error" object and "interrupted" added then.
    QJsonObject document;
};

struct CtlCommand {
    const char* name;
    const char* summary;                    // one line, for q815ctl --help
    const char* arguments;                  // the words it takes, for its usage line ("" when none)
    const char* argumentsHelp;              // what they are
    QList<QCommandLineOption> (*options)(); // its own options, beside the board options
    int (*run)(CtlContext& context);
};

const QList<CtlCommand>& CtlCommands();

// The option --json, which list, info, send, picture and console take.
QCommandLineOption JsonOption();

// What keeps text from being a command the window's command line sends (it
// begins with "C:" and fits into a 128-byte block); empty when it is one.
QString BoardCommandProblem(const QString& command);

// The sub-commands' own parts (one file each).
QList<QCommandLineOption> ListOptions();
int RunList(CtlContext& context);
QList<QCommandLineOption> InfoOptions();
int RunInfo(CtlContext& context);
QList<QCommandLineOption> SendOptions();
int RunSend(CtlContext& context);
QList<QCommandLineOption> PictureOptions();
int RunPicture(CtlContext& context);
QList<QCommandLineOption> NoOptions();
int RunBaud(CtlContext& context);
int RunReset(CtlContext& context);
QList<QCommandLineOption> ConsoleOptions();
int RunConsole(CtlContext& context);
