#pragma once
// The folder box: a list view that shows the folders from the root down to the
// current one (open), then the current folder's subfolders (closed), each
// indented one step deeper, like a classic folder list. Activating an entry
// (double click, Enter) opens it.
//
// A new path takes effect at once and raises Change before SetPath returns;
// the subfolders follow from a worker thread. If the folder cannot be read,
// the box quietly returns to the folder it showed before (read again if it
// had not been read yet), without a Change.
#include "browser/FolderScan.h"
#include "browser/LatestJobThread.h"

#include <QObject>
#include <memory>

class QListView;
class QStandardItemModel;

class FolderBox : public QObject {
    Q_OBJECT
public:
    // Becomes a child of `view` and gives it its model.
    explicit FolderBox(QListView* view);
    ~FolderBox() override;

    QString Path() const { return path_; }
    // An absolute folder path, "/" separated. Raises Change when
    // the path differs from the shown one.
    void SetPath(const QString& path);

    QListView* View() const { return view_; }

signals:
    void Change();
    // The subfolders of `path` are shown (true), or it could not be read and
    // the box went back (false).
    void Listed(const QString& path, bool ok);

private:
    void Request();
    void Apply(quint64 request, const FolderScan& scan);
    void ShowFolders(const QString& path, const QStringList& subfolders);

    QListView* view_;
    QStandardItemModel* model_;
    QString path_;
    QStringList subfolders_;
    QString confirmedPath_;
    QStringList confirmedSubfolders_;
    QString unverifiedPath_; // shown before the pending one, never read
    quint64 request_ = 0;
    bool pending_ = false;
    std::unique_ptr<LatestJobThread> worker_;
};
