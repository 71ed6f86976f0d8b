#pragma once
// The drives a drive box lists: the mounted volumes, each by its mount point,
// and the selected one (the value).
//
// Like a drive letter on other systems, each volume keeps its current folder:
// the last folder the folder list showed on it, the mount point until then.
#include "browser/LatestJobThread.h"

#include <QHash>
#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

// The mount point among `mountPoints` that holds `path`: the longest one that
// is `path` itself or one of its ancestors. Empty when none does.
QString VolumeOfPath(const QString& path, const QStringList& mountPoints);

// The mount points of the mounted, ready volumes (QStorageInfo).
QStringList MountedVolumes();

class DriveList : public QObject {
    Q_OBJECT
public:
    // Reads the volumes from `volumes` (tests give their own) on a worker thread.
    explicit DriveList(std::function<QStringList()> volumes = MountedVolumes,
                       QObject* parent = nullptr);
    ~DriveList() override;

    // The mount points listed, and the selected one (empty for none).
    QStringList Volumes() const { return volumes_; }
    QString Value() const { return value_; }
    // Selects the volume that holds `path`. Raises Change when that is another
    // volume than the one shown.
    void SetValue(const QString& path);
    // The user picked `drive` in the box.
    void Pick(const QString& drive);

    // The volume's current folder.
    QString CurrentFolder(const QString& drive) const;
    // Notes `folder` as the current folder of the volume that holds it.
    void RememberFolder(const QString& folder);
    // Drops `folder` as its volume's current folder (it could not be read).
    void ForgetFolder(const QString& folder);

    // Reads the volumes on a worker thread (asking a volume that sits on a dead
    // network mount can hang) and lists them when the answer comes, keeping the
    // selection. Until the first answer the list is empty.
    void Refresh();

Q_SIGNALS:
    // The user picked another volume, or SetValue moved to one.
    void Change();
    // The volumes or the selection changed without the user: a box shows them anew.
    void Shown();

private:
    void Fill(const QStringList& volumes);
    void Select(const QString& drive);

    std::function<QStringList()> read_;
    QStringList volumes_;
    QString value_;
    QHash<QString, QString> currentFolders_;
    QString wanted_;         // the path whose volume is to be shown
    QString unplacedFolder_; // remembered before the volumes were known
    std::unique_ptr<LatestJobThread> worker_;
};
