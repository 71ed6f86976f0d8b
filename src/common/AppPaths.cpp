#include "common/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

// The installed desktop entry, seen from the installed program's folder; the
// install rules in src/CMakeLists.txt set it.
#ifndef Q815_DESKTOP_ENTRY_FROM_BIN
#error "Q815_DESKTOP_ENTRY_FROM_BIN is set by src/CMakeLists.txt"
#endif

QString ChooseAppFolder(const QString& programFolder, const QString& dataFolder)
{
    const bool installed =
        QFileInfo::exists(JoinPath(programFolder, QStringLiteral(Q815_DESKTOP_ENTRY_FROM_BIN)));
    if (!installed && QFileInfo(programFolder).isWritable())
        return programFolder;
    return dataFolder;
}

QString ProgramFolder()
{
    const QString folder =
        ChooseAppFolder(QCoreApplication::applicationDirPath(),
                        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    QDir().mkpath(folder);
    return folder;
}

QString JoinPath(const QString& folder, const QString& name)
{
    if (folder.endsWith(u'/'))
        return folder + name;
    return folder + u'/' + name;
}
