#pragma once
// The record that a taxi camera unit writes into the NAME of each stored
// picture. The file's contents are never opened for it.
#include <QString>

// The record as the "Disk" tab shows it: one text per label.
struct PictureRecord {
    QString SerialNumber;  // unit serial number, as is
    QString PictureNumber; // as is
    QString DateText;      // day/month/year
    QString TimeText;      // hour:minute:second
    QString TriggerText;   // from TriggerType
    QString TaxiNumber;    // as is
    QString UserText;      // as is
};

// The record carried in `fileName` (bare name with extension, no folder).
// Never fails: short names give empty or shortened fields.
PictureRecord ParsePictureFileName(const QString& fileName);
