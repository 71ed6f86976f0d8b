#pragma once
// The window's options: the board options that q815ctl takes too, --help and
// --version.
#include "selection/BoardSelection.h"

#include <QString>
#include <QStringList>

struct CommandLineOptions {
    BoardSelection board;
    bool help = false;
    bool version = false;
    QString error; // not empty: the options were bad; say this and exit with 2
    QString helpText;
};

// Parses the arguments (the program name first). deviceEnv is the value of
// Q815EVM_DEVICE, used when --device is not given.
CommandLineOptions ParseCommandLine(const QStringList& arguments, const QString& deviceEnv);
