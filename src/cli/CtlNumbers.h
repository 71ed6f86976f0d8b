#pragma once
// Numbers given on q815ctl's command line: finite and within their stated
// range, or a message that names the option.
#include <QCommandLineParser>
#include <QString>

// The value of option (absent: fallback) read as a number from least to most.
// An empty text when it is one; else what to tell the user.
QString ReadNumber(const QCommandLineParser& parser, const QString& option, double least,
                   double most, double& value);
QString ReadWhole(const QCommandLineParser& parser, const QString& option, int least, int most,
                  int& value);
