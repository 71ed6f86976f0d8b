#pragma once
// The folders a folder box shows: from the root down to the current one
// (open), then the current folder's subfolders (closed), each one step deeper,
// like a classic folder list.
//
// A new path takes effect at once and raises Change before SetPath returns;
// the subfolders follow from a worker thread. If the folder cannot be read,
// the list quietly returns to the folder it showed before (read again if it
// had not been read yet), without a Change.
#include "browser/FolderScan.h"
#include "browser/LatestJobThread.h"

#include <QObject>
#include <memory>

class QItemSelectionModel;
class QStandardItemModel;

class FolderList : public QObject {
    Q_OBJECT
public:
    // What each entry of the model carries besides its display name.
    enum Role {
        PathRole = Qt::UserRole, // the folder's path
        DepthRole,               // 0 for the root, one more a step down
        OpenRole,                // true for the current folder and its ancestors
    };

    explicit FolderList(QObject* parent = nullptr);
    ~FolderList() override;

    // The entries and the current one (the open folder), for a list view.
    QStandardItemModel* Model() const { return model_; }
    QItemSelectionModel* Selection() const { return selection_; }

    QString Path() const { return path_; }
    // An absolute folder path, "/" separated. Raises Change when the path
    // differs from the shown one.
    void SetPath(const QString& path);

Q_SIGNALS:
    void Change();
    // The subfolders of `path` are shown (true), or it could not be read and
    // the list went back (false).
    void Listed(const QString& path, bool ok);

private:
    void Request();
    void Apply(const FolderScan& scan);
    void ShowFolders(const QString& path, const QStringList& subfolders);

    QStandardItemModel* model_;
    QItemSelectionModel* selection_;
    QString path_;
    QStringList subfolders_;
    QString confirmedPath_;
    QStringList confirmedSubfolders_;
    QString unverifiedPath_; // shown before the pending one, never read
    bool pending_ = false;
    std::unique_ptr<LatestJobThread> worker_;
};
