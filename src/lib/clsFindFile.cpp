#include "lib/clsFindFile.h"

#include <QDir>
#include <QFileInfo>

#include "lib/ProgramFolder.h"

void clsFindFile::CollectEntries(const std::string& folder, Collection<std::string>& coll,
                                 bool takeFolders, bool filesOnly) {
    std::string prefix = folder;
    if (prefix.empty() || (prefix.back() != '\\' && prefix.back() != '/'))
        prefix += kPathSeparator;
    QDir dir(QString::fromStdString(prefix));
    if (!dir.exists()) return;
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
}

void clsFindFile::FindAllFile(const std::string& strDir, Collection<std::string>& colFD) {
    CollectEntries(strDir, colFD, false, true);
}

void clsFindFile::FindAllDir(const std::string& strDir, Collection<std::string>& colFD) {
    CollectEntries(strDir, colFD, true, false);
    for (std::size_t i = 1; i <= colFD.Count(); ++i) {
        const std::string folder = colFD.Item(i);
        CollectEntries(folder, colFD, true, false);
    }
}
