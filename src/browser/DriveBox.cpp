#include "browser/DriveBox.h"

#include <QComboBox>
#include <QDir>
#include <QSignalBlocker>
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

DriveBox::DriveBox(QComboBox* box, std::function<QStringList()> volumes)
    : QObject(box), box_(box), volumes_(std::move(volumes)),
      worker_(std::make_unique<LatestJobThread>())
{
    // Like a drive list, the box starts at the volume the program was started
    // in, as soon as the volumes have been read.
    wanted_ = QDir::currentPath();
    Refresh();
    connect(box_, &QComboBox::currentIndexChanged, this, &DriveBox::Change);
}

// The worker is stopped first: after that nothing more is posted to this object.
DriveBox::~DriveBox()
{
    worker_.reset();
}

QString DriveBox::Value() const
{
    return box_->currentText();
}

void DriveBox::SetValue(const QString& path)
{
    wanted_ = path; // taken up by the first list when none is there yet
    const QString drive = VolumeOfPath(path, Volumes());
    if (drive.isEmpty() || drive == Value())
        return;
    Select(drive);
    emit Change();
}

void DriveBox::Select(const QString& drive)
{
    if (drive.isEmpty())
        return;
    const QSignalBlocker quiet(box_);
    int index = box_->findText(drive);
    if (index < 0) {
        box_->addItem(drive);
        index = box_->count() - 1;
    }
    box_->setCurrentIndex(index);
}

QString DriveBox::CurrentFolder(const QString& drive) const
{
    return currentFolders_.value(drive, drive);
}

void DriveBox::RememberFolder(const QString& folder)
{
    const QString drive = VolumeOfPath(folder, Volumes());
    if (drive.isEmpty())
        unplacedFolder_ = folder; // placed once the volumes have been read
    else
        currentFolders_.insert(drive, folder);
}

void DriveBox::ForgetFolder(const QString& folder)
{
    const QString drive = VolumeOfPath(folder, Volumes());
    if (currentFolders_.value(drive) == folder)
        currentFolders_.remove(drive);
}

QStringList DriveBox::Volumes() const
{
    QStringList shown;
    for (int i = 0; i < box_->count(); ++i)
        shown.append(box_->itemText(i));
    return shown;
}

void DriveBox::Refresh()
{
    worker_->Post([this, read = volumes_] {
        QStringList volumes = read();
        QMetaObject::invokeMethod(
            this, [this, volumes = std::move(volumes)] { Fill(volumes); }, Qt::QueuedConnection);
    });
}

void DriveBox::Fill(const QStringList& volumes)
{
    const QSignalBlocker quiet(box_);
    const QString shown = Value();
    box_->clear();
    box_->addItems(volumes);
    if (shown.isEmpty()) {
        box_->setCurrentIndex(-1);
        Select(VolumeOfPath(wanted_, volumes));
    } else {
        box_->setCurrentIndex(box_->findText(shown));
        if (box_->currentIndex() < 0)
            Select(shown);
    }
    if (!unplacedFolder_.isEmpty())
        RememberFolder(std::exchange(unplacedFolder_, QString()));
}
