#pragma once
// Files that q815ctl writes: whole under their name, or not there at all.
#include <QByteArray>
#include <QString>

// Writes bytes to path: into a new file beside it that takes the name only
// once every byte is on disk, so that nothing cut short is ever found under
// the name (a device or a pipe that path names is written directly). With
// noClobber an existing path is left alone. Returns "" or what went wrong,
// with the system's reason ("cannot write p.jpg: No space left on device").
QString WriteWhole(const QString& path, const QByteArray& bytes, bool noClobber);
