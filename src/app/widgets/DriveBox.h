#pragma once
// The drive box: a drop-down list showing a DriveList, each volume by its
// mount point. Picking one tells the list.
#include <QObject>

class DriveList;
class QComboBox;

class DriveBox : public QObject {
    Q_OBJECT
public:
    // Shows `list` in `box`; becomes a child of `box`.
    DriveBox(QComboBox* box, DriveList* list);

private:
    void Show();

    QComboBox* box_;
    DriveList* list_;
};
