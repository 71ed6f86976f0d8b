#pragma once
// Reading a folder for the file and folder boxes of the "Disk" page. These run
// on a worker thread: they touch the disk but no widget.
#include <QRegularExpression>
#include <QString>
#include <QStringList>

// A file box pattern such as "*.jpg" or "usb_boot_*.bin": "*" and "?" as
// wildcards, letter case ignored, the whole name must match.
class NamePattern {
public:
    explicit NamePattern(const QString& pattern);
    bool Matches(const QString& name) const;

private:
    QRegularExpression expression_;
};

struct FolderScan {
    bool ok = false;   // false when the folder could not be read to its end
    QStringList names; // bare names, sorted regardless of letter case
};

// Files of `folder` (links to files included) whose names match `pattern`.
FolderScan ScanFiles(const QString& folder, const QString& pattern);
// Folders in `folder` (links to folders included).
FolderScan ScanSubfolders(const QString& folder);

// Sorts names by their case-folded text, so "b.JPG" comes between "a.jpg" and "C.jpg".
void SortNamesIgnoringCase(QStringList& names);
