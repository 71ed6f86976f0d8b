#include "link/BoardProtocol.h"

#include <algorithm>

QByteArray MakeCommandBlock(const QString& command)
{
    QByteArray block(CommandBlockSize, ' ');
    const QByteArray bytes = command.left(CommandBlockSize).toLatin1();
    std::copy(bytes.cbegin(), bytes.cend(), block.begin());
    return block;
}

bool IsBoardCommand(const QString& text)
{
    return text.startsWith(QLatin1String("C:"));
}

bool HasPositivePrefix(const QByteArray& reply)
{
    return reply.size() >= 4 && reply[0] == 'O' && reply[1] == 'K' && reply[2] == ' ' &&
           reply[3] == ':';
}

QString ReplyText(const QByteArray& replyBuffer, int chunkSize)
{
    QString result = HasPositivePrefix(replyBuffer) ? QString() : QStringLiteral("FAIL");
    const qsizetype end = std::min<qsizetype>(chunkSize, replyBuffer.size());
    if (end > 4)
        result += BytesToText(replyBuffer.constData() + 4, end - 4);
    return result;
}

QString BytesToText(const char* data, qsizetype size)
{
    return QString::fromLatin1(data, size);
}

QString ReadChipIdCommand()
{
    return QStringLiteral("C:20");
}

QString ReadFirmwareCommand()
{
    return QStringLiteral("C:21");
}

QString ReadCommandTableCommand(const char* code)
{
    return QStringLiteral("C:06") + QLatin1String(code);
}

QString EntryCommand(const QString& entry)
{
    return QStringLiteral("C:07") + entry;
}

std::optional<QString> PictureSizeCommand(int Index)
{
    if (Index >= 0 && Index < 9)
        return QStringLiteral("C:03") + QString::number(Index + 1).right(1);
    if (Index == 9)
        return QStringLiteral("C:03A");
    if (Index == 10)
        return QStringLiteral("C:03B");
    return std::nullopt;
}

QString UartSpeedCommand(int ListIndex)
{
    const QString sign = ListIndex < 0 ? QStringLiteral("-") : QStringLiteral(" ");
    return QStringLiteral("C:10") + sign + QString::number(qAbs(ListIndex));
}

QString SpiResetCommand()
{
    return QStringLiteral("C:05");
}

PictureRoute SpiRoute()
{
    return {QStringLiteral("C:04"), QStringLiteral("C:02#"), QStringLiteral("C:02 ")};
}

PictureRoute Pic12Route()
{
    return {QString(), QStringLiteral("C:12#"), QStringLiteral("C:12 ")};
}

PictureRoute UartRoute()
{
    return {QString(), QStringLiteral("C:15#"), QStringLiteral("C:15 "), true};
}
