#include "browser/FolderList.h"

#include "browser/FolderPath.h"
#include "common/AppPaths.h"

#include <QDir>
#include <QItemSelectionModel>
#include <QStandardItemModel>
#include <utility>

FolderList::FolderList(QObject* parent)
    : QObject(parent), model_(new QStandardItemModel(this)),
      selection_(new QItemSelectionModel(model_, this)),
      worker_(std::make_unique<LatestJobThread>())
{
}

// The worker is stopped first: after that nothing more is posted to this object.
FolderList::~FolderList()
{
    worker_.reset();
}

void FolderList::SetPath(const QString& path)
{
    const QStringList ancestors = FolderAncestors(path);
    if (ancestors.isEmpty() || ancestors.last() == path_)
        return;
    if (pending_) {
        unverifiedPath_ = path_; // shown, but not yet read
    } else {
        confirmedPath_ = path_;
        confirmedSubfolders_ = subfolders_;
        unverifiedPath_.clear();
    }
    ShowFolders(ancestors.last(), {});
    Request();
    Q_EMIT Change();
}

void FolderList::Request()
{
    pending_ = true;
    worker_->Post(
        this, [path = path_] { return ScanSubfolders(path); },
        [this](const FolderScan& scan) { Apply(scan); });
}

void FolderList::Apply(const FolderScan& scan)
{
    pending_ = false;
    const QString requested = path_;
    if (scan.ok) {
        ShowFolders(path_, scan.names);
    } else if (!unverifiedPath_.isEmpty()) {
        // Back to the folder shown before, which was never read: read it now.
        ShowFolders(std::exchange(unverifiedPath_, QString()), {});
        Request();
    } else {
        ShowFolders(confirmedPath_, confirmedSubfolders_);
    }
    Q_EMIT Listed(requested, scan.ok);
}

void FolderList::ShowFolders(const QString& path, const QStringList& subfolders)
{
    path_ = path;
    subfolders_ = subfolders;
    model_->clear();
    const QStringList ancestors = FolderAncestors(path);
    const auto add = [this](const QString& folder, bool open, int depth) {
        auto* item = new QStandardItem(FolderDisplayName(folder));
        item->setData(folder, PathRole);
        item->setData(depth, DepthRole);
        item->setData(open, OpenRole);
        item->setToolTip(QDir::toNativeSeparators(folder));
        model_->appendRow(item);
    };
    for (int depth = 0; depth < ancestors.size(); ++depth)
        add(ancestors[depth], true, depth);
    for (const QString& name : subfolders)
        add(JoinPath(path, name), false, int(ancestors.size()));
    if (!ancestors.isEmpty())
        selection_->setCurrentIndex(model_->index(int(ancestors.size()) - 1, 0),
                                    QItemSelectionModel::ClearAndSelect);
}
