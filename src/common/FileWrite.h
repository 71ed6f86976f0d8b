#pragma once
// Writing the tool's files: "downloaded.jpg" and "readfile.jpg" are written over
// from their start and never shortened.
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

// Writes data at the start of the file, creating it when missing. The file is
// not shortened first: a longer file keeps its bytes past data's end.
bool WriteAtFileStart(const QString& path, const QByteArray& data);
