#pragma once
// A file box: a list view showing a FileList, the names in one folder that
// match a pattern. A click on the entry that is already selected counts as a
// click too.
#include <QObject>

class FileList;
class QListView;

class FileListBox : public QObject {
    Q_OBJECT
public:
    // Shows `list` in `view`; becomes a child of `view`.
    FileListBox(QListView* view, FileList* list);
    // A box with a list of its own, of the names that match `pattern`.
    FileListBox(QListView* view, const QString& pattern);

    FileList& List() const { return *list_; }
    QListView* View() const { return view_; }
    void SetFolder(const QString& folder);

Q_SIGNALS:
    // The list's Click: the selection changed, or the selected entry was clicked.
    void Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QListView* view_;
    // Kept, not asked of the view: the filter also sees events while the view
    // is being destroyed, when it is no longer a list view.
    QObject* viewport_;
    FileList* list_;
    bool selectedByPress_ = false; // the mouse press being handled changed the selection
};
