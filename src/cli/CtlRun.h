#pragma once
// q815ctl from its arguments to its exit status: the options are read first
// (no application object needed, so --help works anywhere), then the
// sub-command runs on the board.
#include "cli/CtlCommand.h"

#include <memory>

struct CtlInvocation {
    const CtlCommand* command = nullptr;
    std::unique_ptr<QCommandLineParser> parser;
    QStringList arguments;
    BoardSelection selection;
    int replyLimitMs = 3000; // --timeout
    int exit = -1;           // 0 or more: finished already (help, version, bad usage)
};

// arguments: the program's name first. deviceEnv: the value of Q815EVM_DEVICE.
// Help, the version and usage errors are written to io here.
CtlInvocation ParseCtl(const QStringList& arguments, const QString& deviceEnv, CtlIo& io);

// Runs a parsed sub-command on the boards of backend.
int RunCtl(CtlInvocation& invocation, CtlIo& io, usb::UsbBackend& backend);
