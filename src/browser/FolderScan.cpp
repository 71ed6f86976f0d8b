#include "browser/FolderScan.h"

#include <QFile>
#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

fs::path ToNativePath(const QString& path)
{
#ifdef Q_OS_WIN
    return fs::path(path.toStdWString());
#else
    return fs::path(QFile::encodeName(path).toStdString());
#endif
}

QString FromNativeName(const fs::path& name)
{
#ifdef Q_OS_WIN
    return QString::fromStdWString(name.native());
#else
    return QFile::decodeName(QByteArray::fromStdString(name.native()));
#endif
}

// Hidden entries (a leading dot) are left out, as the platform's own file
// dialogs do. `wanted` decides on the entry; it may look at its type.
template <typename Wanted> FolderScan Scan(const QString& folder, Wanted wanted)
{
    FolderScan scan;
    if (folder.isEmpty())
        return scan;
    std::error_code error;
    fs::directory_iterator it(ToNativePath(folder), error);
    if (error)
        return scan;
    for (; it != fs::directory_iterator(); it.increment(error)) {
        if (error)
            return scan;
        const QString name = FromNativeName(it->path().filename());
        if (!name.startsWith(u'.') && wanted(*it, name))
            scan.names.append(name);
    }
    if (error)
        return scan;
    SortNamesIgnoringCase(scan.names);
    scan.ok = true;
    return scan;
}

} // namespace

NamePattern::NamePattern(const QString& pattern)
    : expression_(QRegularExpression::fromWildcard(pattern, Qt::CaseInsensitive))
{
    expression_.optimize();
}

bool NamePattern::Matches(const QString& name) const
{
    return expression_.match(name).hasMatch();
}

void SortNamesIgnoringCase(QStringList& names)
{
    std::vector<std::pair<QString, QString>> keyed;
    keyed.reserve(names.size());
    for (QString& name : names)
        keyed.emplace_back(name.toCaseFolded(), std::move(name));
    std::sort(keyed.begin(), keyed.end());
    names.clear();
    for (auto& [key, name] : keyed)
        names.append(std::move(name));
}

FolderScan ScanFiles(const QString& folder, const QString& pattern)
{
    const NamePattern match(pattern);
    return Scan(folder, [&](const fs::directory_entry& entry, const QString& name) {
        // The name test first: it needs no look at the disk.
        std::error_code error;
        return match.Matches(name) && entry.is_regular_file(error);
    });
}

FolderScan ScanSubfolders(const QString& folder)
{
    return Scan(folder, [](const fs::directory_entry& entry, const QString&) {
        std::error_code error;
        return entry.is_directory(error);
    });
}
