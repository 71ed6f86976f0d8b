#include "firmware/FilePipes.h"

#include "common/FileWrite.h"
#include "link/BoardLink.h"

FilePipes::FilePipes(BoardLink& link, std::function<QString()> readFilePath, QObject* parent)
    : QObject(parent), link_(link), readFilePath_(std::move(readFilePath))
{
}

void FilePipes::SaveFileChunk(const QByteArray& buffer)
{
    WriteAtFileStart(readFilePath_(), buffer);
}

void FilePipes::SendFile(const QByteArray& data)
{
    link_.SendFile(data);
}

QString NumToHex(const std::uint8_t& value)
{
    auto digit = [](int d) { return QChar(d < 10 ? 48 + d : 55 + d); };
    return QString(digit(value >> 4)) + digit(value & 0x0F);
}
