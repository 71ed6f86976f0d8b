#include "browser/FileListBox.h"

#include <QEvent>
#include <QItemSelectionModel>
#include <QListView>
#include <QStringListModel>
#include <utility>

FileListBox::FileListBox(QListView* view, const QString& pattern)
    : QObject(view), view_(view), model_(new QStringListModel(this)), pattern_(pattern),
      worker_(std::make_unique<LatestJobThread>())
{
    view_->setModel(model_);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    // All rows share one height, so the view never measures 50,000 names.
    view_->setUniformItemSizes(true);
    connect(view_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        selectedByPress_ = true;
        if (!changingList_)
            emit Click();
    });
    // A click on the entry that is already selected counts too: the file may
    // have changed since it was shown.
    view_->viewport()->installEventFilter(this);
    connect(view_, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (!selectedByPress_ && view_->selectionModel()->isSelected(index))
            emit Click();
    });
}

bool FileListBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == view_->viewport() && event->type() == QEvent::MouseButtonPress)
        selectedByPress_ = false; // before the view handles the press
    return QObject::eventFilter(watched, event);
}

// The worker is stopped first: after that nothing more is posted to this object.
FileListBox::~FileListBox()
{
    worker_.reset();
}

QString FileListBox::FileName() const
{
    const QModelIndexList selected = view_->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? QString() : selected.first().data().toString();
}

void FileListBox::SetFolder(const QString& folder)
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

void FileListBox::SetPattern(const QString& pattern)
{
    pattern_ = pattern;
    Request(true);
}

// keepSelection: the box shows the same folder and its names until the new
// ones come. Otherwise it has just been emptied for another folder.
void FileListBox::Request(bool keepSelection)
{
    // A refresh asked for while a move is still on its way stays a move.
    keepSelection_ = keepSelection && (!pending_ || keepSelection_);
    pending_ = true;
    const quint64 request = ++request_;
    const QString folder = folder_;
    const QString pattern = pattern_;
    worker_->Post([this, request, folder, pattern] {
        FolderScan scan = ScanFiles(folder, pattern);
        QMetaObject::invokeMethod(
            this, [this, request, scan = std::move(scan)] { Apply(request, scan); },
            Qt::QueuedConnection);
    });
}

void FileListBox::Apply(quint64 request, const FolderScan& scan)
{
    if (request != request_)
        return; // a newer request is on its way
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
    emit Listed(scan.ok);
    if (FileName() != before)
        emit Click();
}

void FileListBox::ShowNames(const QStringList& names, const QString& select)
{
    changingList_ = true;
    model_->setStringList(names);
    const int row = select.isEmpty() ? -1 : int(names.indexOf(select));
    if (row >= 0)
        view_->setCurrentIndex(model_->index(row));
    else
        view_->selectionModel()->clear();
    changingList_ = false;
}
