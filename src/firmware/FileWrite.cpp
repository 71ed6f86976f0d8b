#include "firmware/FileWrite.h"

#include <QFile>

bool WriteAtFileStart(const QString& path, const QByteArray& data)
{
    QFile file(path);
    // ReadWrite neither truncates nor appends.
    if (!file.open(QIODevice::ReadWrite))
        return false;
    return file.write(data) == data.size();
}
