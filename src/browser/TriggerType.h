#pragma once
// The text shown for the trigger code of a stored picture.
#include <QString>
#include <cstdint>

// "No Trigger", "Door Open", ... for codes 0 to 9; "Unknown Trigger" for any
// other value, negative ones included. Some texts come from the string table.
QString TriggerType(std::int16_t Trig);
