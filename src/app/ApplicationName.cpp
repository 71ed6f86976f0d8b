#include "app/ApplicationName.h"

#include <QCoreApplication>

void NameApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("q815evm"));
    QCoreApplication::setApplicationVersion(QStringLiteral(Q815EVM_VERSION));
}

QString ApplicationTitle()
{
    return QStringLiteral("Q815EVM");
}
