#include "lib/DiskFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QSaveFile>
#include <QString>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "lib/Win1251.h"

namespace disk {

namespace {

bool lookAt(const std::string& path, struct stat& info) {
    return ::lstat(path.c_str(), &info) == 0;
}

bool present(const std::string& path) {
    struct stat info;
    return lookAt(path, info);
}

mode_t modeThroughLinks(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode : 0;
}

// The raw names of a folder's entries, "." and ".." left out.
std::vector<std::string> rawNames(const std::string& folder) {
    std::vector<std::string> names;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.empty() ? "." : folder.c_str()),
                                            &::closedir);
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") names.emplace_back(name);
    }
    return names;
}

std::string withSlash(const std::string& folder) {
    return folder.empty() || folder.back() == '/' ? folder : folder + '/';
}

bool byNameIgnoringCase(const Entry& a, const Entry& b) {
    const int order =
        QString::fromStdString(a.name).compare(QString::fromStdString(b.name), Qt::CaseInsensitive);
    return order != 0 ? order < 0 : a.name < b.name;
}

}  // namespace

std::vector<Entry> entries(const std::string& folder) {
    const std::string prefix = withSlash(onDisk(folder));
    std::vector<Entry> list;
    for (const std::string& raw : rawNames(prefix)) {
        Entry entry;
        entry.name = win1251::isUtf8(raw) ? raw : win1251::toUtf8(raw);
        const std::string path = prefix + raw;
        struct stat info;
        mode_t mode = lookAt(path, info) ? info.st_mode : 0;
        if (S_ISLNK(mode)) {
            entry.link = true;
            mode = modeThroughLinks(path);
        }
        entry.folder = S_ISDIR(mode);
        entry.regular = S_ISREG(mode);
        list.push_back(std::move(entry));
    }
    std::sort(list.begin(), list.end(), byNameIgnoringCase);
    return list;
}

std::string onDisk(const std::string& path) {
    if (path.empty() || present(path)) return path;
    std::string spelled;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t slash = std::min(path.find('/', start), path.size());
        const std::string part = path.substr(start, slash - start);
        std::string bytes;
        if (part.empty() || present(spelled + part)) {
            spelled += part;
        } else if (win1251::fromUtf8Exactly(part, bytes) && bytes != part &&
                   present(spelled + bytes)) {
            spelled += bytes;
        } else {
            // Nothing below a missing component exists either.
            return spelled + path.substr(start);
        }
        if (slash < path.size()) spelled += '/';
        start = slash + 1;
    }
    return spelled;
}

bool isLink(const std::string& path) {
    struct stat info;
    return lookAt(onDisk(path), info) && S_ISLNK(info.st_mode);
}

bool isFolder(const std::string& path) { return S_ISDIR(modeThroughLinks(onDisk(path))); }

bool isRegularFile(const std::string& path) { return S_ISREG(modeThroughLinks(onDisk(path))); }

std::string canonical(const std::string& path) {
    std::unique_ptr<char, void (*)(void*)> real(::realpath(onDisk(path).c_str(), nullptr),
                                                &std::free);
    return real ? std::string(real.get()) : std::string();
}

FILE* openRegularFile(const std::string& path) {
    const std::string spelled = onDisk(path);
    // Looked at before opening: opening a device may already act on it.
    const mode_t mode = modeThroughLinks(spelled);
    if (mode == 0) return nullptr;
    if (!S_ISREG(mode)) {
        errno = S_ISDIR(mode) ? EISDIR : EINVAL;
        return nullptr;
    }
    // Without waiting: the entry may have become a pipe since the look.
    const int fd = ::open(spelled.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return nullptr;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    FILE* file = ::fdopen(fd, "rb");
    if (!file) ::close(fd);
    return file;
}

QtReachablePath::QtReachablePath(const std::string& path) {
    const std::string spelled = onDisk(path);
    if (win1251::isUtf8(spelled)) {
        path_ = spelled;
        return;
    }
    const auto cut = spelled.rfind('/');
    if (cut == std::string::npos || !win1251::isUtf8(spelled.substr(cut + 1))) return;
    const std::string folder = cut == 0 ? std::string("/") : spelled.substr(0, cut);
    folder_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder_ >= 0) path_ = "/proc/self/fd/" + std::to_string(folder_) + spelled.substr(cut);
}

QtReachablePath::~QtReachablePath() {
    if (folder_ >= 0) ::close(folder_);
}

FILE* openFile(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

std::filesystem::path fsPath(const std::string& path) { return std::filesystem::path(path); }

std::string utf8Path(const std::filesystem::path& path) { return path.string(); }

std::vector<std::string> fileSystemRoots() { return {"/"}; }

bool canList(const std::string& folder) {
    return ::access(onDisk(folder).c_str(), R_OK | X_OK) == 0;
}

bool syncFolder(const std::string& folder) {
#ifdef __linux__
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    const bool synced = fd >= 0 && ::syncfs(fd) == 0;
    const int error = errno;
    if (fd >= 0) ::close(fd);
    errno = error;
    return synced;
#else
    (void)folder;
    return true;
#endif
}

struct ReplacingFile::Impl {
    QSaveFile file;
    std::size_t written = 0;
    explicit Impl(const std::string& path)
        : file(QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()))) {}
};

ReplacingFile::ReplacingFile(const std::string& path) : impl_(std::make_unique<Impl>(path)) {}

ReplacingFile::~ReplacingFile() { cancel(); }

bool ReplacingFile::open() {
    // Unbuffered: a buffered tail is written by commit(), which does not notice
    // when that write fails and would rename a truncated file over the target.
    return impl_->file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

bool ReplacingFile::write(std::string_view bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const qint64 n =
            impl_->file.write(bytes.data() + written, static_cast<qint64>(bytes.size() - written));
        if (n <= 0) {
            cancel();
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
#ifdef __linux__
    // A large block starts on its way to the disk at once, while the next is
    // being made, so that the sync at commit() has little left to wait for.
    constexpr std::size_t kLarge = std::size_t{1} << 20;
    if (bytes.size() >= kLarge && impl_->file.handle() >= 0)
        ::sync_file_range(impl_->file.handle(), static_cast<off_t>(impl_->written),
                          static_cast<off_t>(bytes.size()), SYNC_FILE_RANGE_WRITE);
#endif
    impl_->written += bytes.size();
    return true;
}

bool ReplacingFile::commit() {
    // Some file systems report a full disk only when the data reach it;
    // QSaveFile::commit() syncs too, but ignores what the sync says.
    const int fd = impl_->file.handle();
    // EINVAL: a file that cannot be synced at all, nothing was lost by it.
    if (fd >= 0 && ::fsync(fd) != 0 && errno != EINVAL) {
        cancel();
        return false;
    }
    return impl_->file.commit();
}

void ReplacingFile::cancel() {
    if (impl_->file.isOpen()) impl_->file.cancelWriting();
}

void removeTree(const std::string& path) {
    struct stat info;
    if (!lookAt(path, info)) return;
    if (!S_ISDIR(info.st_mode)) {
        ::unlink(path.c_str());
        return;
    }
    const std::string prefix = withSlash(path);
    for (const std::string& name : rawNames(prefix)) {
        const std::string inner = prefix + name;
        if (name.starts_with('.') && lookAt(inner, info) && S_ISDIR(info.st_mode)) continue;
        removeTree(inner);
    }
    ::rmdir(path.c_str());
}

}  // namespace disk
