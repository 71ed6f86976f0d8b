// Reply chunks and typed text: the reply reader, the command block, the console
// entry test and the chip identifier lookup.
#include "board/ChipTable.h"
#include "board/EntryTest.h"
#include "link/BoardProtocol.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    // The first two bytes give the chunk size the reader is told, which may be
    // anything, also larger than the buffer.
    const int chunkSize = int(std::int16_t(data[0] | data[1] << 8));
    const QByteArray buffer(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));
    const QString reply = ReplyText(buffer, chunkSize);
    if (reply.size() > buffer.size() + 4)
        __builtin_trap();

    const QString text = QString::fromLatin1(buffer);
    const QByteArray block = MakeCommandBlock(text);
    if (block.size() != CommandBlockSize)
        __builtin_trap();
    const int failing = FirstFailingEntryPosition(text);
    if (failing < 0 || failing > 16)
        __builtin_trap();
    DecodeChipIdentifier(text);
    return 0;
}
