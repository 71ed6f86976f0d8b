#include "browser/FileList.h"

#include <QItemSelectionModel>
#include <QStringListModel>
#include <utility>

FileList::FileList(const QString& pattern, QObject* parent)
    : QObject(parent), model_(new QStringListModel(this)),
      selection_(new QItemSelectionModel(model_, this)), pattern_(pattern),
      worker_(std::make_unique<LatestJobThread>())
{
    connect(selection_, &QItemSelectionModel::selectionChanged, this, [this] {
        if (!changingList_)
            Q_EMIT Click();
    });
}

// The worker is stopped first: after that nothing more is posted to this object.
FileList::~FileList()
{
    worker_.reset();
}

QStringList FileList::Names() const
{
    return model_->stringList();
}

QString FileList::FileName() const
{
    const QModelIndexList selected = selection_->selectedIndexes();
    return selected.isEmpty() ? QString() : selected.first().data().toString();
}

void FileList::ClickSelected()
{
    if (selection_->hasSelection())
        Q_EMIT Click();
}

void FileList::SetFolder(const QString& folder)
{
    if (folder == folder_) {
        Request(true);
        return;
    }
    if (!pending_ || keepSelection_) { // what is shown now is a folder that could be read
        confirmed_ = {folder_, model_->stringList(), FileName()};
        unverifiedFolder_.clear();
    } else {
        unverifiedFolder_ = folder_; // shown, but not yet read
    }
    folder_ = folder;
    ShowNames({}, {});
    Request(false);
}

void FileList::SetPattern(const QString& pattern)
{
    pattern_ = pattern;
    Request(true);
}

// keepSelection: the list shows the same folder and its names until the new
// ones come. Otherwise it has just been emptied for another folder.
void FileList::Request(bool keepSelection)
{
    // A refresh asked for while a move is still on its way stays a move.
    keepSelection_ = keepSelection && (!pending_ || keepSelection_);
    pending_ = true;
    worker_->Post(
        this, [folder = folder_, pattern = pattern_] { return ScanFiles(folder, pattern); },
        [this](const FolderScan& scan) { Apply(scan); });
}

void FileList::Apply(const FolderScan& scan)
{
    pending_ = false;
    const QString before = FileName();
    if (scan.ok) {
        ShowNames(scan.names, keepSelection_ ? before : QString());
    } else if (!keepSelection_ && !unverifiedFolder_.isEmpty()) {
        // Back to the folder shown before, which was never read: read it now.
        folder_ = std::exchange(unverifiedFolder_, QString());
        Request(false);
    } else if (!keepSelection_) {
        folder_ = confirmed_.folder;
        ShowNames(confirmed_.names, confirmed_.selected);
    }
    Q_EMIT Listed(scan.ok);
    if (FileName() != before)
        Q_EMIT Click();
}

void FileList::ShowNames(const QStringList& names, const QString& select)
{
    changingList_ = true;
    model_->setStringList(names);
    const int row = select.isEmpty() ? -1 : int(names.indexOf(select));
    if (row >= 0)
        selection_->setCurrentIndex(model_->index(row), QItemSelectionModel::ClearAndSelect);
    else
        selection_->clear();
    changingList_ = false;
}
