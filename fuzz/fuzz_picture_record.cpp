// Stored picture names of any content and length, as the file box gives them.
#include "browser/HexRoutines.h"
#include "browser/PictureRecord.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString name = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const PictureRecord record = ParsePictureFileName(name);
    // Every field is a piece of the name; none can be longer than the name.
    if (record.SerialNumber.size() > name.size() || record.UserText.size() > name.size())
        __builtin_trap();
    const int word = WrdStrToDec(name);
    if (word < 0 || word > 65535 || HexStrToDec(name) > 15)
        __builtin_trap();
    return 0;
}
