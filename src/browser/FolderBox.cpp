#include "browser/FolderBox.h"

#include "common/AppPaths.h"
#include "browser/FolderPath.h"

#include <QApplication>
#include <QDir>
#include <QListView>
#include <QStandardItemModel>
#include <QStyle>
#include <QStyledItemDelegate>
#include <utility>

namespace {

constexpr int PathRole = Qt::UserRole;
constexpr int DepthRole = Qt::UserRole + 1;
constexpr int IndentPixels = 12;

// Draws each entry indented by its depth in the tree.
class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyleOptionViewItem indented(option);
        indented.rect.setLeft(option.rect.left() + IndentPixels * index.data(DepthRole).toInt());
        QStyledItemDelegate::paint(painter, indented, index);
    }
};

} // namespace

FolderBox::FolderBox(QListView* view)
    : QObject(view), view_(view), model_(new QStandardItemModel(this)),
      worker_(std::make_unique<LatestJobThread>())
{
    view_->setModel(model_);
    view_->setItemDelegate(new IndentDelegate(view_));
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setUniformItemSizes(true);
    connect(view_, &QAbstractItemView::activated, this,
            [this](const QModelIndex& index) { SetPath(index.data(PathRole).toString()); });
}

// The worker is stopped first: after that nothing more is posted to this object.
FolderBox::~FolderBox()
{
    worker_.reset();
}

void FolderBox::SetPath(const QString& path)
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
    emit Change();
}

void FolderBox::Request()
{
    pending_ = true;
    const quint64 request = ++request_;
    const QString path = path_;
    worker_->Post([this, request, path] {
        FolderScan scan = ScanSubfolders(path);
        QMetaObject::invokeMethod(
            this, [this, request, scan = std::move(scan)] { Apply(request, scan); },
            Qt::QueuedConnection);
    });
}

void FolderBox::Apply(quint64 request, const FolderScan& scan)
{
    if (request != request_)
        return; // a newer path is on its way
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
    emit Listed(requested, scan.ok);
}

void FolderBox::ShowFolders(const QString& path, const QStringList& subfolders)
{
    path_ = path;
    subfolders_ = subfolders;
    model_->clear();
    const QStringList ancestors = FolderAncestors(path);
    const QIcon open = view_->style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = view_->style()->standardIcon(QStyle::SP_DirClosedIcon);
    const auto add = [this](const QString& folder, const QIcon& icon, int depth) {
        auto* item = new QStandardItem(icon, FolderDisplayName(folder));
        item->setData(folder, PathRole);
        item->setData(depth, DepthRole);
        item->setToolTip(QDir::toNativeSeparators(folder));
        model_->appendRow(item);
    };
    for (int depth = 0; depth < ancestors.size(); ++depth)
        add(ancestors[depth], open, depth);
    for (const QString& name : subfolders)
        add(JoinPath(path, name), closed, int(ancestors.size()));
    if (!ancestors.isEmpty())
        view_->setCurrentIndex(model_->index(int(ancestors.size()) - 1, 0));
}
