#pragma once
// The names in one folder that match a pattern, with the selected one: what a
// file box shows. The folder is read on a worker thread; the list stays usable.
//
// Pointing the list at another folder takes effect at once (it empties,
// nothing is selected) and the names follow when the folder has been read. If
// it cannot be read, the list returns to the folder, names and selection it had
// before, as if it had never been moved (a folder it had been moved to but not
// yet read is read again first).
#include "browser/FolderScan.h"
#include "browser/LatestJobThread.h"

#include <QObject>
#include <memory>

class QItemSelectionModel;
class QStringListModel;

class FileList : public QObject {
    Q_OBJECT
public:
    explicit FileList(const QString& pattern, QObject* parent = nullptr);
    ~FileList() override;

    // The names and the selection, for a list view to show and change.
    QStringListModel* Model() const { return model_; }
    QItemSelectionModel* Selection() const { return selection_; }
    QStringList Names() const;

    QString Folder() const { return folder_; }
    QString Pattern() const { return pattern_; }
    // The selected name, empty when no entry is selected.
    QString FileName() const;

    // Reads `folder` anew. The same folder again keeps the selection when the
    // name is still there.
    void SetFolder(const QString& folder);
    // Lists the current folder again with the new pattern.
    void SetPattern(const QString& pattern);
    // The user clicked the entry that is already selected: the file may have
    // changed since it was shown, so that counts as a click too.
    void ClickSelected();

Q_SIGNALS:
    // The selection changed (the user's pick, or with the list), or the
    // selected entry was clicked again.
    void Click();
    // A listing has been shown (true) or given up because the folder could
    // not be read (false).
    void Listed(bool ok);

private:
    struct Shown {
        QString folder;
        QStringList names;
        QString selected;
    };
    void Request(bool keepSelection);
    void Apply(const FolderScan& scan);
    void ShowNames(const QStringList& names, const QString& select);

    QStringListModel* model_;
    QItemSelectionModel* selection_;
    QString folder_;
    QString pattern_;
    bool pending_ = false;
    bool keepSelection_ = false;
    Shown confirmed_;          // what to return to when a listing fails
    QString unverifiedFolder_; // shown before the pending one, never read
    bool changingList_ = false;
    std::unique_ptr<LatestJobThread> worker_;
};
