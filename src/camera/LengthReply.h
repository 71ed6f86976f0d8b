#pragma once
// The board's answer to a picture length request ("C:02#", "C:12#", "C:15#"):
// either the picture length or the message that ends the download.
#include <QString>
#include <cstdint>

struct LengthCheck {
    std::int32_t L = 0; // picture length in bytes, 1..65535, when Message is empty
    QString Message;    // why there is no picture, shown to the user
    bool Ok() const { return Message.isEmpty(); }
};

// Checks the reply text R in the firmware's order:
//  "0000" (the camera gave no sync)                    -> "No Sync"
//  a zero length written otherwise ("0", "00", "000")   -> "No Data"
//  "fail1...", "No USB...", "FAIL..."                   -> "fail1", "No USB", "FAIL"
//  anything whose first four characters (all of R when shorter) are not all hex
//  digits, the empty reply included                     -> a message quoting R
// Otherwise L is those digits read as a hexadecimal number, either case, so
// "0FA0" is 4000 and "ABCD1234" is 43981.
LengthCheck CheckLengthReply(const QString& R);
