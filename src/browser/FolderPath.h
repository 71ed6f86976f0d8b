#pragma once
// Path arithmetic of the folder box, with "/" as the separator.
#include <QString>
#include <QStringList>

// The folders from the root down to `path` itself: "/home/ann" gives "/",
// "/home", "/home/ann"; "C:/Data" gives "C:/", "C:/Data". A root keeps its
// closing separator; no other folder has one. Empty for an empty or relative path.
QStringList FolderAncestors(const QString& path);

// What the folder box shows for a folder: its last name, or the root as it is.
QString FolderDisplayName(const QString& path);
