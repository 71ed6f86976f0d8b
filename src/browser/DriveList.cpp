#include "browser/DriveList.h"

#include <QDir>
#include <QStorageInfo>
#include <utility>

namespace {

bool Holds(const QString& mountPoint, const QString& path)
{
    if (path == mountPoint)
        return true;
    return path.startsWith(mountPoint.endsWith(u'/') ? mountPoint : mountPoint + u'/');
}

} // namespace

QString VolumeOfPath(const QString& path, const QStringList& mountPoints)
{
    const QString clean = QDir::cleanPath(path);
    QString best;
    for (const QString& mountPoint : mountPoints)
        if (Holds(QDir::cleanPath(mountPoint), clean) && mountPoint.size() > best.size())
            best = mountPoint;
    return best;
}

QStringList MountedVolumes()
{
    QStringList mountPoints;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady())
            mountPoints.append(volume.rootPath());
    mountPoints.sort();
    return mountPoints;
}

DriveList::DriveList(std::function<QStringList()> volumes, QObject* parent)
    : QObject(parent), read_(std::move(volumes)), worker_(std::make_unique<LatestJobThread>())
{
    // Like a drive list, the list starts at the volume the program was started
    // in, as soon as the volumes have been read.
    wanted_ = QDir::currentPath();
    Refresh();
}

// The worker is stopped first: after that nothing more is posted to this object.
DriveList::~DriveList()
{
    worker_.reset();
}

void DriveList::SetValue(const QString& path)
{
    wanted_ = path; // taken up by the first list when none is there yet
    const QString drive = VolumeOfPath(path, volumes_);
    if (drive.isEmpty() || drive == value_)
        return;
    Select(drive);
    Q_EMIT Shown();
    Q_EMIT Change();
}

void DriveList::Pick(const QString& drive)
{
    if (drive == value_)
        return;
    value_ = drive;
    Q_EMIT Change();
}

void DriveList::Select(const QString& drive)
{
    if (drive.isEmpty())
        return;
    if (!volumes_.contains(drive))
        volumes_.append(drive);
    value_ = drive;
}

QString DriveList::CurrentFolder(const QString& drive) const
{
    return currentFolders_.value(drive, drive);
}

void DriveList::RememberFolder(const QString& folder)
{
    const QString drive = VolumeOfPath(folder, volumes_);
    if (drive.isEmpty())
        unplacedFolder_ = folder; // placed once the volumes have been read
    else
        currentFolders_.insert(drive, folder);
}

void DriveList::ForgetFolder(const QString& folder)
{
    const QString drive = VolumeOfPath(folder, volumes_);
    if (currentFolders_.value(drive) == folder)
        currentFolders_.remove(drive);
}

void DriveList::Refresh()
{
    worker_->Post(this, read_, [this](const QStringList& volumes) { Fill(volumes); });
}

void DriveList::Fill(const QStringList& volumes)
{
    const QString shown = std::exchange(value_, QString());
    volumes_ = volumes;
    // The volume shown stays shown, listed again if it is gone from the list.
    Select(shown.isEmpty() ? VolumeOfPath(wanted_, volumes) : shown);
    if (!unplacedFolder_.isEmpty())
        RememberFolder(std::exchange(unplacedFolder_, QString()));
    Q_EMIT Shown();
}
