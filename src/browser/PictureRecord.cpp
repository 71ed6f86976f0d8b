#include "browser/PictureRecord.h"

#include "browser/TextSlice.h"
#include "browser/TriggerType.h"

#include <cstdint>

// Layout of a stored picture's name, positions counted from 1:
//
//   1-8    unit serial number          28-29  hour
//   10-17  picture number              30-31  minute
//   19-22  year                        32-33  second
//   23-24  month                       37     trigger code, one decimal digit
//   25-26  day                         43-62  taxi number
//                                      64-83  user text
//
// The camera unit puts other things at 9, 18, 27, 34-36, 38-42 and 63, and the
// extension follows from 84 on; none of that is read. A name shorter than 87
// characters lets ".jpg" run into whichever field still reaches it, and that
// is shown as it stands: every field is copied, never trimmed or checked.

namespace {

struct Field {
    int first;
    int count;
};

constexpr Field SerialNumberField{1, 8};
constexpr Field PictureNumberField{10, 8};
constexpr Field YearField{19, 4};
constexpr Field MonthField{23, 2};
constexpr Field DayField{25, 2};
constexpr Field HourField{28, 2};
constexpr Field MinuteField{30, 2};
constexpr Field SecondField{32, 2};
constexpr Field TriggerField{37, 1};
constexpr Field TaxiNumberField{43, 20};
constexpr Field UserTextField{64, 20};

QString Take(const QString& name, Field field)
{
    return SliceCharacters(name, field.first, field.count);
}

// The trigger character read as one decimal digit: "0".."9" give 0..9, any
// other character (letters too: this is not hex) or none at all gives 0.
std::int16_t TriggerCode(const QString& digit)
{
    if (digit.size() == 1 && digit.front() >= u'0' && digit.front() <= u'9')
        return static_cast<std::int16_t>(digit.front().unicode() - u'0');
    return 0;
}

} // namespace

PictureRecord ParsePictureFileName(const QString& fileName)
{
    PictureRecord record;
    record.SerialNumber = Take(fileName, SerialNumberField);
    record.PictureNumber = Take(fileName, PictureNumberField);
    record.DateText = Take(fileName, DayField) + u'/' + Take(fileName, MonthField) + u'/' +
                      Take(fileName, YearField);
    record.TimeText = Take(fileName, HourField) + u':' + Take(fileName, MinuteField) + u':' +
                      Take(fileName, SecondField);
    record.TriggerText = TriggerType(TriggerCode(Take(fileName, TriggerField)));
    record.TaxiNumber = Take(fileName, TaxiNumberField);
    record.UserText = Take(fileName, UserTextField);
    return record;
}
