#pragma once
#include <QString>

// The folder for "downloaded.jpg", "readfile.jpg" and the browser's start: the
// program's own folder when it is writable (a portable install), else the
// per-user data folder, created when missing.
QString ProgramFolder();

// folder + "/" + name, without doubling a separator that folder already ends in.
QString JoinPath(const QString& folder, const QString& name);
