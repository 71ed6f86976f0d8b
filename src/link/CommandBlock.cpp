#include "link/CommandBlock.h"

QByteArray MakeCommandBlock(const QString& command)
{
    QByteArray block(CommandBlockSize, ' ');
    const QByteArray bytes = command.left(CommandBlockSize).toLatin1();
    std::copy(bytes.cbegin(), bytes.cend(), block.begin());
    return block;
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

void RecreateZeroed(QByteArray& buffer, qsizetype size)
{
    if (buffer.size() == size && buffer.isDetached())
        buffer.fill('\0');
    else
        buffer = QByteArray(size, '\0');
}
