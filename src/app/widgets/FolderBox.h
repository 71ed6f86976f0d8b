#pragma once
// The folder box: a list view showing a FolderList, each entry indented by its
// depth with an open or closed folder icon. Activating an entry (double click,
// Enter) opens it.
#include <QObject>

class FolderList;
class QListView;

class FolderBox : public QObject {
    Q_OBJECT
public:
    // Shows `list` in `view`; becomes a child of `view`.
    FolderBox(QListView* view, FolderList* list);
};
