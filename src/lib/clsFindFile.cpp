#include "lib/clsFindFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <set>
#include <vector>

#include "lib/ProgramFolder.h"
#include "lib/VezorError.h"

namespace {
bool isSeparator(char c) { return c == '\\' || c == '/'; }

// Callers may hand over stored paths with "\"; the file system here wants its own separator.
QString nativePath(const std::string& path) {
    std::string native = path;
    if (kPathSeparator == '/')
        for (char& c : native)
            if (c == '\\') c = '/';
    return QString::fromStdString(native);
}

bool isLink(const std::string& path) { return QFileInfo(nativePath(path)).isSymLink(); }
}  // namespace

bool clsFindFile::CollectEntries(const std::string& folder, Collection<std::string>& coll,
                                 bool takeFolders, bool filesOnly) {
    std::string prefix = folder;
    if (prefix.empty() || !isSeparator(prefix.back())) prefix += kPathSeparator;
    const QDir dir(nativePath(prefix));
    if (!dir.exists()) return false;
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                          QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& entry : entries) {
        const std::string name = entry.fileName().toStdString();
        const bool isFolder = entry.isDir();
        if (isFolder || !filesOnly) {
            if (isFolder && takeFolders && !name.starts_with('.')) coll.Add(prefix + name);
        } else {
            coll.Add(prefix + name);
        }
    }
    return true;
}

void clsFindFile::FindAllFile(const std::string& strDir, Collection<std::string>& colFD) {
    CollectEntries(strDir, colFD, false, true);
}

void clsFindFile::FindAllDir(const std::string& strDir, Collection<std::string>& colFD) {
    std::set<QString> listed;
    auto listOnce = [&](const std::string& folder) {
        const QString canonical = QFileInfo(nativePath(folder)).canonicalFilePath();
        if (canonical.isEmpty() || !listed.insert(canonical).second) return;
        CollectEntries(folder, colFD, true, false);
    };
    listOnce(strDir);
    for (std::size_t i = 1; i <= colFD.Count(); ++i) {
        const std::string folder = colFD.Item(i);
        listOnce(folder);
    }
}

void clsFindFile::FindAllFailInAllDir(std::string& strDir, Collection<std::string>& cFail) {
    if (strDir.size() > 1 && isSeparator(strDir.back())) strDir.pop_back();
    Collection<std::string> folders;
    FindAllDir(strDir, folders);
    folders.Add(strDir);
    for (const std::string& folder : folders) FindAllFile(folder, cFail);
}

void clsFindFile::DelDirAndAllFail(const std::string& Dir_On_APP_Path) {
    const QString app = QDir::cleanPath(nativePath(programFolder()));
    const QString target = QDir::cleanPath(app + "/" + nativePath(Dir_On_APP_Path));
    const QString appPrefix = app.endsWith('/') ? app : app + "/";
    if (!target.startsWith(appPrefix) || target.size() <= appPrefix.size())
        throw InvalidCallError("DelDirAndAllFail: the folder is not below the program folder");

    std::string root = target.toStdString();
    if (isLink(root)) {
        QFile::remove(target);
        return;
    }
    Collection<std::string> folders, files;
    FindAllDir(root, folders);
    FindAllFailInAllDir(root, files);

    // A linked folder is listed with the target's content; only the link goes.
    std::vector<std::string> links;
    for (const std::string& folder : folders)
        if (isLink(folder)) links.push_back(folder + kPathSeparator);
    auto insideLink = [&](const std::string& path) {
        for (const std::string& link : links)
            if (path.starts_with(link)) return true;
        return false;
    };

    for (const std::string& file : files)
        if (!insideLink(file)) QFile::remove(nativePath(file));
    QDir remover;
    for (std::size_t i = folders.Count(); i >= 1; --i) {
        const std::string& folder = folders.Item(i);
        if (insideLink(folder)) continue;
        if (isLink(folder))
            QFile::remove(nativePath(folder));
        else
            remover.rmdir(nativePath(folder));
    }
    remover.rmdir(target);
}
