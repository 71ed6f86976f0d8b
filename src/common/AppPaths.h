#pragma once
#include <QString>

// The tool's folder, for "downloaded.jpg", "readfile.jpg" and the browser's
// start. A build tree or a portable copy uses its program's own folder when
// that is writable; an installed copy, whose program lies in an install
// prefix's bin/ with our desktop entry under that prefix's share/, never
// writes there: it, like a program folder that cannot be written, gets
// dataFolder (the per-user data folder), whoever runs it, root too.
QString ChooseAppFolder(const QString& programFolder, const QString& dataFolder);

// ChooseAppFolder for this program and QStandardPaths::AppDataLocation; the
// folder is created when missing.
QString ProgramFolder();

// folder + "/" + name, without doubling a separator that folder already ends in.
QString JoinPath(const QString& folder, const QString& name);
