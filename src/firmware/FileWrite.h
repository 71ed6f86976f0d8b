#pragma once
#include <QByteArray>
#include <QString>

// Writes data at the start of the file, creating it when missing. The file is
// not shortened first: a longer file keeps its bytes past data's end.
bool WriteAtFileStart(const QString& path, const QByteArray& data);
