#include "browser/FolderPath.h"

#include <QDir>

QStringList FolderAncestors(const QString& path)
{
    const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
    const qsizetype firstSeparator = clean.indexOf(u'/');
    if (clean.isEmpty() || firstSeparator < 0 || QDir::isRelativePath(clean))
        return {};
    // Everything up to the first separator names the root: "" or "C:".
    QString folder = clean.left(firstSeparator + 1);
    QStringList ancestors{folder};
    const QStringList names = clean.mid(firstSeparator + 1).split(u'/', Qt::SkipEmptyParts);
    for (const QString& name : names) {
        if (!folder.endsWith(u'/'))
            folder += u'/';
        folder += name;
        ancestors.append(folder);
    }
    return ancestors;
}

QString FolderDisplayName(const QString& path)
{
    if (path.endsWith(u'/'))
        return path;
    return path.mid(path.lastIndexOf(u'/') + 1);
}
