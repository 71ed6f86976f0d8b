#pragma once
// q815ctl's sub-commands as a table: each names its options and its runner.
#include "cli/CtlIo.h"
#include "selection/BoardSelection.h"

#include <QCommandLineParser>
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
};

struct CtlCommand {
    const char* name;
    const char* summary;   // one line, for q815ctl --help
    const char* arguments; // the words it takes, for its usage line ("" when none)
    void (*addOptions)(QCommandLineParser& parser);
    int (*run)(CtlContext& context);
};

const QList<CtlCommand>& CtlCommands();

// The option --json, which list, info, send and picture take.
QCommandLineOption JsonOption();

// What keeps text from being a command the window's command line sends (it
// begins with "C:" and fits into a 128-byte block); empty when it is one.
QString BoardCommandProblem(const QString& command);

// The sub-commands' own parts (one file each).
void ListOptions(QCommandLineParser& parser);
int RunList(CtlContext& context);
void InfoOptions(QCommandLineParser& parser);
int RunInfo(CtlContext& context);
void SendOptions(QCommandLineParser& parser);
int RunSend(CtlContext& context);
void PictureOptions(QCommandLineParser& parser);
int RunPicture(CtlContext& context);
void NoOptions(QCommandLineParser& parser);
int RunBaud(CtlContext& context);
int RunReset(CtlContext& context);
void ConsoleOptions(QCommandLineParser& parser);
int RunConsole(CtlContext& context);
