#pragma once
// The drive box: a drop-down list of the mounted volumes, each shown by its
// mount point. Its value is the selected mount point.
//
// Like a drive letter on other systems, each volume keeps its current folder:
// the last folder the folder box showed on it, the mount point until then.
#include "browser/LatestJobThread.h"

#include <QHash>
#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

class QComboBox;

// The mount point among `mountPoints` that holds `path`: the longest one that
// is `path` itself or one of its ancestors. Empty when none does.
QString VolumeOfPath(const QString& path, const QStringList& mountPoints);

// The mount points of the mounted, ready volumes (QStorageInfo).
QStringList MountedVolumes();

class DriveBox : public QObject {
    Q_OBJECT
public:
    // Becomes a child of `box` and fills it from `volumes` (tests give their
    // own), which runs on a worker thread.
    explicit DriveBox(QComboBox* box, std::function<QStringList()> volumes = MountedVolumes);
    ~DriveBox() override;

    QString Value() const;
    // Selects the volume that holds `path`. Raises Change when that is another
    // volume than the one shown.
    void SetValue(const QString& path);

    // The volume's current folder.
    QString CurrentFolder(const QString& drive) const;
    // Notes `folder` as the current folder of the volume that holds it.
    void RememberFolder(const QString& folder);
    // Drops `folder` as its volume's current folder (it could not be read).
    void ForgetFolder(const QString& folder);

    // Reads the volumes on a worker thread (asking a volume that sits on a dead
    // network mount can hang) and lists them when the answer comes, keeping the
    // selection. Until the first answer the box is empty.
    void Refresh();

signals:
    // The user picked another volume, or SetValue moved to one.
    void Change();

private:
    void Fill(const QStringList& volumes);
    void Select(const QString& drive);
    QStringList Volumes() const; // the mount points the box lists

    QComboBox* box_;
    std::function<QStringList()> volumes_;
    QHash<QString, QString> currentFolders_;
    QString wanted_;         // the path whose volume is to be shown
    QString unplacedFolder_; // remembered before the volumes were known
    std::unique_ptr<LatestJobThread> worker_;
};
