// The file system on Windows: names are UTF-16 there, so every call goes
// through the wide API; "/" and "\" both separate.
#include "lib/DiskFiles.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <QRandomGenerator>
#include <QString>
#include <algorithm>
#include <cerrno>
#include <utility>

namespace disk {

namespace {

std::wstring wide(const std::string& path) {
    return QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size())).toStdWString();
}

std::string utf8(const wchar_t* text) {
    return QString::fromWCharArray(text).toUtf8().toStdString();
}

constexpr DWORD kMissing = INVALID_FILE_ATTRIBUTES;

DWORD attributes(const std::string& path) {
    return path.empty() ? kMissing : ::GetFileAttributesW(wide(path).c_str());
}

bool isSeparator(char c) { return c == '/' || c == '\\'; }

std::string withSeparator(const std::string& folder) {
    return folder.empty() || isSeparator(folder.back()) ? folder : folder + '/';
}

bool byNameIgnoringCase(const Entry& a, const Entry& b) {
    const int order =
        QString::fromStdString(a.name).compare(QString::fromStdString(b.name), Qt::CaseInsensitive);
    return order != 0 ? order < 0 : a.name < b.name;
}

// A file handle that closes itself.
struct Handle {
    HANDLE h = INVALID_HANDLE_VALUE;
    explicit Handle(HANDLE handle) : h(handle) {}
    ~Handle() {
        if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return h != INVALID_HANDLE_VALUE; }
    HANDLE release() { return std::exchange(h, INVALID_HANDLE_VALUE); }
};

// Opened through links, for reading what it is; a folder opens too.
HANDLE openToLookAt(const std::string& path) {
    return ::CreateFileW(wide(path).c_str(), 0,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

void setErrno(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
            errno = ENOENT;
            break;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            errno = EACCES;
            break;
        default:
            errno = EIO;
    }
}

}  // namespace

std::vector<Entry> entries(const std::string& folder) {
    std::vector<Entry> list;
    const std::string prefix = withSeparator(folder.empty() ? std::string(".") : folder);
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileExW(wide(prefix + "*").c_str(), FindExInfoBasic, &found,
                                       FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return list;
    do {
        const std::string name = utf8(found.cFileName);
        if (name == "." || name == "..") continue;
        Entry entry;
        entry.name = name;
        entry.link = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        entry.folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.regular = !entry.folder && (found.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) == 0;
        list.push_back(std::move(entry));
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    std::sort(list.begin(), list.end(), byNameIgnoringCase);
    return list;
}

// Names on Windows are UTF-16, so every UTF-8 name is already the disk's own.
std::string onDisk(const std::string& path) { return path; }

bool isLink(const std::string& path) {
    const DWORD a = attributes(path);
    return a != kMissing && (a & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool isFolder(const std::string& path) {
    const DWORD a = attributes(path);
    return a != kMissing && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool isRegularFile(const std::string& path) {
    const DWORD a = attributes(path);
    return a != kMissing && (a & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
}

std::string canonical(const std::string& path) {
    if (path.empty()) return {};
    const Handle file(openToLookAt(path));
    if (!file.valid()) return {};
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetFinalPathNameByHandleW(file.h, buffer.data(),
                                                    static_cast<DWORD>(buffer.size()), 0);
        if (n == 0) return {};
        if (n < buffer.size()) {
            buffer.resize(n);
            break;
        }
        buffer.resize(n + 1);
    }
    // "\\?\C:\x" is "C:\x", "\\?\UNC\host\share" is "\\host\share".
    if (buffer.starts_with(L"\\\\?\\UNC\\"))
        buffer = L"\\\\" + buffer.substr(8);
    else if (buffer.starts_with(L"\\\\?\\"))
        buffer = buffer.substr(4);
    std::string result = utf8(buffer.c_str());
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}

FILE* openRegularFile(const std::string& path) {
    const DWORD a = attributes(path);
    if (a == kMissing) {
        setErrno(::GetLastError());
        return nullptr;
    }
    if ((a & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        errno = EISDIR;
        return nullptr;
    }
    Handle file(::CreateFileW(wide(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        setErrno(::GetLastError());
        return nullptr;
    }
    // A device ("CON", "COM1", "NUL") or a pipe would never end or would block.
    if (::GetFileType(file.h) != FILE_TYPE_DISK) {
        errno = EINVAL;
        return nullptr;
    }
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(file.h), _O_RDONLY | _O_BINARY);
    if (fd < 0) return nullptr;
    file.release();
    FILE* stream = ::_fdopen(fd, "rb");
    if (!stream) ::_close(fd);
    return stream;
}

// Names reach Qt as UTF-16 there: every path is reachable as it stands.
QtReachablePath::QtReachablePath(const std::string& path) : path_(path) {}

QtReachablePath::~QtReachablePath() = default;

FILE* openFile(const std::string& path, const char* mode) {
    return ::_wfopen(wide(path).c_str(), QString::fromLatin1(mode).toStdWString().c_str());
}

std::filesystem::path fsPath(const std::string& path) {
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

std::string utf8Path(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::vector<std::string> fileSystemRoots() {
    std::vector<std::string> roots;
    const DWORD drives = ::GetLogicalDrives();
    for (int i = 0; i < 26; ++i)
        if ((drives & (DWORD{1} << i)) != 0)
            roots.push_back(std::string(1, static_cast<char>('A' + i)) + ":/");
    return roots;
}

bool canList(const std::string& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileExW(wide(withSeparator(folder) + "*").c_str(), FindExInfoBasic,
                                       &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return false;
    ::FindClose(search);
    return true;
}

bool syncFolder(const std::string& folder) {
    for (const Entry& entry : entries(folder)) {
        if (!entry.regular) continue;
        const Handle file(::CreateFileW(wide(withSeparator(folder) + entry.name).c_str(),
                                        GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid() || !::FlushFileBuffers(file.h)) {
            setErrno(::GetLastError());
            return false;
        }
    }
    return true;
}

// The temporary file takes the target's name with a random tail, in the same
// folder, so that the last step is a rename within one volume.
struct ReplacingFile::Impl {
    std::wstring target;
    std::wstring temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    explicit Impl(const std::string& path) : target(wide(path)) {}

    void closeAndRemove() {
        if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
        file = INVALID_HANDLE_VALUE;
        if (!temporary.empty()) ::DeleteFileW(temporary.c_str());
        temporary.clear();
    }
};

ReplacingFile::ReplacingFile(const std::string& path) : impl_(std::make_unique<Impl>(path)) {}

ReplacingFile::~ReplacingFile() { cancel(); }

bool ReplacingFile::open() {
    if (impl_->target.empty()) return false;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring candidate =
            impl_->target + L"." +
            QString::number(QRandomGenerator::global()->generate(), 36).toStdWString() + L".tmp";
        impl_->file = ::CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (impl_->file != INVALID_HANDLE_VALUE) {
            impl_->temporary = candidate;
            return true;
        }
        if (::GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    return false;
}

bool ReplacingFile::write(std::string_view bytes) {
    if (impl_->file == INVALID_HANDLE_VALUE) return false;
    std::size_t written = 0;
    while (written < bytes.size()) {
        const DWORD chunk =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - written, 1 << 20));
        DWORD n = 0;
        if (!::WriteFile(impl_->file, bytes.data() + written, chunk, &n, nullptr) || n == 0) {
            cancel();
            return false;
        }
        written += n;
    }
    return true;
}

bool ReplacingFile::commit() {
    if (impl_->file == INVALID_HANDLE_VALUE) return false;
    // A full disk may show only when the data reach it.
    const bool flushed = ::FlushFileBuffers(impl_->file) != 0;
    const bool closed = ::CloseHandle(impl_->file) != 0;
    impl_->file = INVALID_HANDLE_VALUE;
    if (!flushed || !closed) {
        cancel();
        return false;
    }
    // ReplaceFile keeps the target's attributes and rights; a target that is
    // not there yet takes its name by a rename.
    bool placed = ::ReplaceFileW(impl_->target.c_str(), impl_->temporary.c_str(), nullptr,
                                 REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0;
    if (!placed && ::GetFileAttributesW(impl_->target.c_str()) == kMissing)
        placed = ::MoveFileExW(impl_->temporary.c_str(), impl_->target.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!placed) {
        cancel();
        return false;
    }
    impl_->temporary.clear();
    return true;
}

void ReplacingFile::cancel() { impl_->closeAndRemove(); }

void removeTree(const std::string& path) {
    const DWORD a = attributes(path);
    if (a == kMissing) return;
    const std::wstring name = wide(path);
    if ((a & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        if ((a & FILE_ATTRIBUTE_READONLY) != 0)
            ::SetFileAttributesW(name.c_str(), a & ~FILE_ATTRIBUTE_READONLY);
        ::DeleteFileW(name.c_str());
        return;
    }
    // A linked folder (symbolic link or junction) goes as a link, its target stays.
    if ((a & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        const std::string prefix = withSeparator(path);
        for (const Entry& entry : entries(path)) {
            if (entry.name.starts_with('.') && entry.folder && !entry.link) continue;
            removeTree(prefix + entry.name);
        }
    }
    ::RemoveDirectoryW(name.c_str());
}

}  // namespace disk
