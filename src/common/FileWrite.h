#pragma once
// "downloaded.jpg": where a downloaded picture goes on disk and how it is written.
#include <QByteArray>
#include <QString>

class QFile;

inline constexpr char PictureFileName[] = "downloaded.jpg";

// Creates folder (and its parents) when it does not exist. Returns an error
// text, or an empty one when the folder is there.
QString EnsureFolder(const QString& folder);

// Opens file for writing at its start without shortening it: a longer file
// keeps its bytes past the end of what is written. Returns an error text or "".
QString OpenForOverwrite(QFile& file);

// Writes bytes whole from the start of the open file and closes it. Returns an
// error text or "".
QString WriteFromStart(QFile& file, const QByteArray& bytes);
