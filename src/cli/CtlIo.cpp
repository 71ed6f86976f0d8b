#include "cli/CtlIo.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

void CtlIo::Line(const QString& text)
{
    out_.write(text.toUtf8() + '\n');
}

void CtlIo::Json(const QJsonValue& document)
{
    const QJsonDocument doc = document.isArray() ? QJsonDocument(document.toArray())
                                                 : QJsonDocument(document.toObject());
    out_.write(doc.toJson(QJsonDocument::Indented));
}

void CtlIo::Message(const QString& text)
{
    err_.write("q815ctl: " + text.toUtf8() + '\n');
}

int CtlIo::Usage(const QString& text, const QString& command)
{
    const QString help = command.isEmpty() ? QStringLiteral("q815ctl --help")
                                           : QStringLiteral("q815ctl %1 --help").arg(command);
    err_.write(QStringLiteral("q815ctl: %1\nTry '%2'.\n").arg(text, help).toUtf8());
    return ExitUsage;
}
