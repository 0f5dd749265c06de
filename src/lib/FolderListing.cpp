#include "lib/FolderListing.h"

#include <QDir>
#include <QStorageInfo>
#include <algorithm>
#include <array>

#include "lib/DiskFiles.h"
#include "lib/FileTypeFilter.h"

namespace folderlisting {
namespace {

QString q(const std::string& path) { return QString::fromStdString(path); }

std::vector<disk::Entry> visibleEntries(const std::string& folder) {
    if (folder.empty()) return {};
    std::vector<disk::Entry> list = disk::entries(folder);
    std::erase_if(list, [](const disk::Entry& entry) { return entry.name.starts_with('.'); });
    return list;
}

}  // namespace

bool isRealFileSystem(std::string_view type, std::string_view device) {
    static constexpr std::array<std::string_view, 28> kVirtual = {"autofs",      "binfmt_misc",
                                                                  "bpf",         "cgroup",
                                                                  "cgroup2",     "configfs",
                                                                  "debugfs",     "devpts",
                                                                  "devtmpfs",    "efivarfs",
                                                                  "fusectl",     "hugetlbfs",
                                                                  "mqueue",      "nsfs",
                                                                  "overlay",     "proc",
                                                                  "pstore",      "ramfs",
                                                                  "rootfs",      "rpc_pipefs",
                                                                  "securityfs",  "squashfs",
                                                                  "sysfs",       "tmpfs",
                                                                  "tracefs",     "fuse.gvfsd-fuse",
                                                                  "fuse.portal", "fuse.snapfuse"};
    if (std::find(kVirtual.begin(), kVirtual.end(), type) != kVirtual.end()) return false;
    // A block device ("/dev/sda1"), an SMB share ("//host/share") or an NFS
    // export ("host:/path").
    return device.starts_with('/') || device.find(":/") != std::string_view::npos;
}

std::vector<std::string> driveRoots() {
    std::vector<std::string> roots = disk::fileSystemRoots();
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady()) continue;
        if (!isRealFileSystem(volume.fileSystemType().toStdString(), volume.device().toStdString()))
            continue;
        roots.push_back(normalFolder(volume.rootPath().toStdString()));
    }
    std::sort(roots.begin(), roots.end());
    roots.erase(std::unique(roots.begin(), roots.end()), roots.end());
    return roots;
}

std::string driveOf(const std::string& folder, const std::vector<std::string>& roots) {
    std::string best;
    for (const std::string& root : roots) {
        const bool holds = folder == root || (folder.starts_with(root) &&
                                              (root.ends_with('/') || folder[root.size()] == '/'));
        if (holds && root.size() > best.size()) best = root;
    }
    return best;
}

std::string normalFolder(const std::string& path) {
    if (path.empty()) return QDir::currentPath().toStdString();
    return QDir::cleanPath(QDir::current().absoluteFilePath(q(path))).toStdString();
}

bool canEnter(const std::string& folder) {
    if (folder.empty()) return false;
    return disk::isFolder(folder) && disk::canList(folder);
}

namespace {
// "C:/" and "C:/x": a Windows drive's root and what lies on it.
bool onDrive(const std::string& folder) {
    return folder.size() >= 3 && folder[0] != '/' && folder[1] == ':' && folder[2] == '/';
}
}  // namespace

std::string parentFolder(const std::string& folder) {
    if (folder.empty() || folder == "/") return {};
    if (onDrive(folder) && folder.size() == 3) return {};
    const auto cut = folder.find_last_of('/');
    if (cut == std::string::npos) return {};
    if (onDrive(folder) && cut == 2) return folder.substr(0, 3);
    return cut == 0 ? std::string("/") : folder.substr(0, cut);
}

std::string joinFolder(const std::string& folder, const std::string& name) {
    return folder.ends_with('/') ? folder + name : folder + "/" + name;
}

std::vector<std::string> subFolders(const std::string& folder) {
    std::vector<std::string> names;
    for (const disk::Entry& entry : visibleEntries(folder))
        if (entry.folder) names.push_back(entry.name);
    return names;
}

std::vector<std::string> matchingFiles(const std::string& folder, const std::string& pattern) {
    std::vector<std::string> names;
    for (const disk::Entry& entry : visibleEntries(folder))
        if (entry.regular && filetype::matches(entry.name, pattern)) names.push_back(entry.name);
    return names;
}

}  // namespace folderlisting
