#include "common/QtNotices.h"

#include <QString>
#include <QtGlobal>

namespace {

QtMessageHandler previousHandler = nullptr;

void Handle(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtWarningMsg &&
        text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set, defaulting to ")))
        return;
    previousHandler(type, context, text);
}

} // namespace

void DropRuntimeFolderNotice()
{
    if (previousHandler == nullptr)
        previousHandler = qInstallMessageHandler(Handle);
}
