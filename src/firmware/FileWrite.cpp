#include "firmware/FileWrite.h"

#include "camera/PictureFile.h"

#include <QFile>

bool WriteAtFileStart(const QString& path, const QByteArray& data)
{
    QFile file(path);
    return OpenForOverwrite(file).isEmpty() && WriteFromStart(file, data).isEmpty();
}
