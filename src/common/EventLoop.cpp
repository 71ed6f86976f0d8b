#include "common/EventLoop.h"

#include <QByteArray>
#include <QtGlobal>

void PrepareEventLoop()
{
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", QByteArrayLiteral("1"));
}
