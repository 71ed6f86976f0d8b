#include "common/FileWrite.h"

#include <QDir>
#include <QFile>

QString EnsureFolder(const QString& folder)
{
    if (QDir(folder).exists() || QDir().mkpath(folder))
        return {};
    return QStringLiteral("Cannot create the folder \"%1\".").arg(QDir::toNativeSeparators(folder));
}

QString OpenForOverwrite(QFile& file)
{
    // WriteOnly alone would truncate a QFile; ReadWrite opens at the start and
    // leaves the length alone, creating the file when it is missing.
    if (file.open(QIODevice::ReadWrite))
        return {};
    return QStringLiteral("Cannot write \"%1\": %2")
        .arg(QDir::toNativeSeparators(file.fileName()), file.errorString());
}

QString WriteFromStart(QFile& file, const QByteArray& bytes)
{
    const bool written = file.seek(0) && file.write(bytes) == bytes.size() && file.flush();
    const QString error = file.errorString();
    file.close();
    if (written)
        return {};
    return QStringLiteral("Cannot write \"%1\": %2")
        .arg(QDir::toNativeSeparators(file.fileName()), error);
}

bool WriteAtFileStart(const QString& path, const QByteArray& data)
{
    QFile file(path);
    return OpenForOverwrite(file).isEmpty() && WriteFromStart(file, data).isEmpty();
}
