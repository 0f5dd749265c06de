#include "lib/clsFindFile.h"

#include <QDir>
#include <vector>

#include "lib/DiskFiles.h"
#include "lib/ProgramFolder.h"
#include "lib/VezorError.h"

namespace {
bool isSeparator(char c) { return c == '\\' || c == '/'; }

// Callers may hand over stored paths with "\"; the file system here wants its own separator.
std::string nativePath(const std::string& path) {
    std::string native = path;
    if (kPathSeparator == '/')
        for (char& c : native)
            if (c == '\\') c = '/';
    return native;
}

// A listed folder that is a link is not walked into: a link to "/" in the font
// folder would make the font list walk the whole disk.
bool isLinkedFolder(const std::string& folder) { return disk::isLink(nativePath(folder)); }
}  // namespace

void clsFindFile::CollectEntries(const std::string& folder, Collection<std::string>& coll,
                                 bool takeFolders, bool filesOnly) {
    std::string prefix = folder;
    if (prefix.empty() || !isSeparator(prefix.back())) prefix += kPathSeparator;
    for (const disk::Entry& entry : disk::entries(nativePath(prefix))) {
        if (entry.folder || !filesOnly) {
            if (entry.folder && takeFolders && !entry.name.starts_with('.'))
                coll.Add(prefix + entry.name);
        } else {
            coll.Add(prefix + entry.name);
        }
    }
}

void clsFindFile::FindAllFile(const std::string& strDir, Collection<std::string>& colFD) {
    CollectEntries(strDir, colFD, false, true);
}

void clsFindFile::FindAllDir(const std::string& strDir, Collection<std::string>& colFD) {
    CollectEntries(strDir, colFD, true, false);
    for (std::size_t i = 1; i <= colFD.Count(); ++i) {
        const std::string folder = colFD.Item(i);
        if (!isLinkedFolder(folder)) CollectEntries(folder, colFD, true, false);
    }
}

void clsFindFile::FindAllFailInAllDir(std::string& strDir, Collection<std::string>& cFail) {
    if (strDir.size() > 1 && isSeparator(strDir.back())) strDir.pop_back();
    Collection<std::string> folders;
    FindAllDir(strDir, folders);
    for (const std::string& folder : folders)
        if (!isLinkedFolder(folder)) FindAllFile(folder, cFail);
    FindAllFile(strDir, cFail);
}

void clsFindFile::DelDirAndAllFail(const std::string& Dir_On_APP_Path) {
    const QString app = QDir::cleanPath(QString::fromStdString(nativePath(programFolder())));
    const QString target =
        QDir::cleanPath(app + "/" + QString::fromStdString(nativePath(Dir_On_APP_Path)));
    const QString appPrefix = app.endsWith('/') ? app : app + "/";
    if (!target.startsWith(appPrefix) || target.size() <= appPrefix.size())
        throw InvalidCallError("DelDirAndAllFail: the folder is not below the program folder");

    // The check above reads the names only; a link on the way may lead anywhere.
    const std::string lexical = target.toStdString();
    const auto cut = lexical.rfind('/');
    const std::string parent = disk::canonical(lexical.substr(0, cut));
    if (parent.empty()) return;
    const std::string appOnDisk = disk::canonical(app.toStdString());
    if (appOnDisk.empty() ||
        (parent != appOnDisk &&
         !parent.starts_with(appOnDisk.ends_with('/') ? appOnDisk : appOnDisk + "/")))
        throw InvalidCallError("DelDirAndAllFail: a link leads out of the program folder");
    disk::removeTree(disk::onDisk(parent + "/" + lexical.substr(cut + 1)));
}
