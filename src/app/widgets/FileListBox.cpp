#include "app/widgets/FileListBox.h"

#include "browser/FileList.h"

#include <QEvent>
#include <QItemSelectionModel>
#include <QListView>
#include <QStringListModel>

FileListBox::FileListBox(QListView* view, FileList* list)
    : QObject(view), view_(view), viewport_(view->viewport()), list_(list)
{
    view_->setModel(list_->Model());
    QItemSelectionModel* made = view_->selectionModel(); // the list's own takes its place
    view_->setSelectionModel(list_->Selection());
    delete made;
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    // All rows share one height, so the view never measures 50,000 names.
    view_->setUniformItemSizes(true);
    connect(list_->Selection(), &QItemSelectionModel::selectionChanged, this,
            [this] { selectedByPress_ = true; });
    viewport_->installEventFilter(this);
    connect(view_, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (!selectedByPress_ && list_->Selection()->isSelected(index))
            list_->ClickSelected();
    });
    connect(list_, &FileList::Click, this, &FileListBox::Click);
}

FileListBox::FileListBox(QListView* view, const QString& pattern)
    : FileListBox(view, new FileList(pattern, view))
{
}

void FileListBox::SetFolder(const QString& folder)
{
    list_->SetFolder(folder);
}

bool FileListBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == viewport_ && event->type() == QEvent::MouseButtonPress)
        selectedByPress_ = false; // before the view handles the press
    return QObject::eventFilter(watched, event);
}
