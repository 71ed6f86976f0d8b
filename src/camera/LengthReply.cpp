#include "camera/LengthReply.h"

#include "common/HexDigit.h"

namespace {

constexpr int LengthDigits = 4;
constexpr int QuotedCharacters = 40;

// The first four characters of R (all of R when shorter) as a hex number, or
// -1 when they are not all hex digits or R is empty.
std::int32_t LengthDigitsValue(const QString& R)
{
    const QString digits = R.left(LengthDigits);
    if (digits.isEmpty())
        return -1;
    std::int32_t value = 0;
    for (QChar c : digits) {
        const int digit = HexDigitValue(c);
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

// R in quotes for a message box: at most 40 characters, control characters
// as \xNN so a reply full of zero bytes stays readable.
QString Quoted(const QString& R)
{
    QString text;
    for (QChar c : R.left(QuotedCharacters)) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            text += QStringLiteral("\\x%1").arg(int(c.unicode()), 2, 16, QLatin1Char('0'));
        else
            text += c;
    }
    if (R.size() > QuotedCharacters)
        text += QStringLiteral("...");
    return u'"' + text + u'"';
}

LengthCheck Refused(const QString& message)
{
    return LengthCheck{0, message};
}

} // namespace

LengthCheck CheckLengthReply(const QString& R)
{
    const std::int32_t value = LengthDigitsValue(R);
    if (R.startsWith(u'0')) {
        if (R.startsWith(QLatin1String("0000")))
            return Refused(QStringLiteral("No Sync"));
        if (value == 0)
            return Refused(QStringLiteral("No Data"));
    }
    if (R.startsWith(QLatin1String("fail1")))
        return Refused(QStringLiteral("fail1"));
    if (R.startsWith(QLatin1String("No USB")))
        return Refused(QStringLiteral("No USB"));
    if (R.startsWith(QLatin1String("FAIL")))
        return Refused(QStringLiteral("FAIL"));
    if (value < 0)
        return Refused(QStringLiteral("The board sent no picture length: ") + Quoted(R));
    return LengthCheck{value, {}};
}
