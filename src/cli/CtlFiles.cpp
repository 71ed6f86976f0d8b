#include "cli/CtlFiles.h"

#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>

namespace {

QString CannotWrite(const QString& path, const QString& reason)
{
    return QStringLiteral("cannot write %1: %2").arg(path, reason);
}

} // namespace

QString WriteWhole(const QString& path, const QByteArray& bytes, bool noClobber)
{
    const QFileInfo target(path);
    if (noClobber && (target.exists() || target.isSymLink()))
        return QStringLiteral("%1 exists; --no-clobber keeps it").arg(path);
    if (target.exists() && !target.isFile()) {
        QFile device(path);
        if (!device.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
            device.write(bytes) != bytes.size())
            return CannotWrite(path, device.errorString());
        return {};
    }
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    // Unbuffered: a failed write reports the system's reason at once.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return CannotWrite(path, file.errorString());
    errno = 0;
    if (file.write(bytes) != bytes.size()) {
        const int reason = errno; // the file's text does not keep it for a short write
        return CannotWrite(path, reason != 0 ? qt_error_string(reason) : file.errorString());
    }
    if (!file.commit())
        return CannotWrite(path, file.errorString());
    return {};
}
