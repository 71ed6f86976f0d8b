#include "app/widgets/FolderBox.h"

#include "browser/FolderList.h"

#include <QItemSelectionModel>
#include <QListView>
#include <QStandardItemModel>
#include <QStyle>
#include <QStyledItemDelegate>

namespace {

constexpr int IndentPixels = 12;

// Draws each entry indented by its depth in the tree, with its folder icon.
class FolderDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const QStyle* style = option->widget ? option->widget->style() : nullptr;
        if (style) {
            option->icon = style->standardIcon(index.data(FolderList::OpenRole).toBool()
                                                   ? QStyle::SP_DirOpenIcon
                                                   : QStyle::SP_DirClosedIcon);
            option->features |= QStyleOptionViewItem::HasDecoration;
        }
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyleOptionViewItem indented(option);
        indented.rect.setLeft(option.rect.left() +
                              IndentPixels * index.data(FolderList::DepthRole).toInt());
        QStyledItemDelegate::paint(painter, indented, index);
    }
};

} // namespace

FolderBox::FolderBox(QListView* view, FolderList* list) : QObject(view)
{
    view->setModel(list->Model());
    QItemSelectionModel* made = view->selectionModel(); // the list's own takes its place
    view->setSelectionModel(list->Selection());
    delete made;
    view->setItemDelegate(new FolderDelegate(view));
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setUniformItemSizes(true);
    connect(view, &QAbstractItemView::activated, list, [list](const QModelIndex& index) {
        list->SetPath(index.data(FolderList::PathRole).toString());
    });
}
