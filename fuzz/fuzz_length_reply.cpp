// Length replies of any content: the check that turns the board's answer to a
// length request into a picture length or the message that ends the download.
#include "camera/LengthReply.h"

#include <cctype>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The reply text is made of the reply's bytes, one character each.
    const QString R = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    const LengthCheck check = CheckLengthReply(R);
    if (check.Ok()) {
        // A length is read from the first four characters (all of R when
        // shorter), hex digits in either case, and is never zero.
        const QString digits = R.left(4);
        for (QChar c : digits) {
            if (c.unicode() > 0x7F || !std::isxdigit(int(c.unicode())))
                __builtin_trap();
        }
        if (check.L != digits.toInt(nullptr, 16) || check.L < 1 || check.L > 0xFFFF)
            __builtin_trap();
    } else {
        // Whatever the board sent, the message box gets a short, non-empty text.
        if (check.Message.isEmpty() || check.Message.size() > 256 || check.L != 0)
            __builtin_trap();
        if (R.startsWith(QLatin1String("0000")) && check.Message != QLatin1String("No Sync"))
            __builtin_trap();
    }
    return 0;
}
