#pragma once
// A file box: a list view showing the names in one folder that match a
// pattern. The folder is read on a worker thread; the box stays usable.
//
// Pointing the box at another folder takes effect at once (the box empties,
// nothing is selected) and the names follow when the folder has been read. If
// it cannot be read, the box returns to the folder, names and selection it had
// before, as if it had never been moved (a folder it had been moved to but not
// yet read is read again first).
#include "browser/FolderScan.h"
#include "browser/LatestJobThread.h"

#include <QObject>
#include <memory>

class QListView;
class QStringListModel;

class FileListBox : public QObject {
    Q_OBJECT
public:
    // Becomes a child of `view` and gives it its model.
    FileListBox(QListView* view, const QString& pattern);
    ~FileListBox() override;

    QString Folder() const { return folder_; }
    QString Pattern() const { return pattern_; }
    // The selected name, empty when no entry is selected.
    QString FileName() const;

    // Reads `folder` anew. The same folder again keeps the selection when the
    // name is still there.
    void SetFolder(const QString& folder);
    // Lists the current folder again with the new pattern.
    void SetPattern(const QString& pattern);

    QListView* View() const { return view_; }

signals:
    // The user clicked an entry (the selected one too) or selected another
    // one with the keys, or the selection changed with the list.
    void Click();
    // A listing has been shown (true) or given up because the folder could
    // not be read (false).
    void Listed(bool ok);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Shown {
        QString folder;
        QStringList names;
        QString selected;
    };
    void Request(bool keepSelection);
    void Apply(quint64 request, const FolderScan& scan);
    void ShowNames(const QStringList& names, const QString& select);

    QListView* view_;
    QStringListModel* model_;
    QString folder_;
    QString pattern_;
    quint64 request_ = 0;
    bool pending_ = false;
    bool keepSelection_ = false;
    Shown confirmed_;          // what to return to when a listing fails
    QString unverifiedFolder_; // shown before the pending one, never read
    bool changingList_ = false;
    bool selectedByPress_ = false; // the mouse press being handled changed the selection
    std::unique_ptr<LatestJobThread> worker_;
};
