#include "lib/TextFile.h"

#include <QSaveFile>
#include <QString>
#include <cerrno>
#include <cstdio>
#include <memory>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

#include "lib/DiskFiles.h"
#include "lib/VezorError.h"
#include "lib/Win1251.h"

namespace textfile {

namespace {

bool syncedToDisk(QSaveFile& file) {
#ifdef Q_OS_UNIX
    const int fd = file.handle();
    // EINVAL: a file that cannot be synced at all, nothing was lost by it.
    return fd < 0 || ::fsync(fd) == 0 || errno == EINVAL;
#else
    (void)file;
    return true;
#endif
}

}  // namespace

std::string readBytes(const std::string& path) {
    const auto fail = [&] {
        return FileReadError(cp("Не удалось прочитать файл ") + win1251::fromUtf8(path));
    };
    std::unique_ptr<FILE, int (*)(FILE*)> file(disk::openRegularFile(path), &std::fclose);
    if (!file) throw fail();
    std::string bytes;
    char buffer[1 << 16];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) bytes.append(buffer, n);
    if (std::ferror(file.get())) throw fail();
    return bytes;
}

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n') continue;
        lines.emplace_back(text.substr(start, i - start));
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

std::string joinCrLf(const std::vector<std::string>& lines) {
    std::size_t size = 0;
    for (const auto& line : lines) size += line.size() + 2;
    std::string out;
    out.reserve(size);
    for (const auto& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

void writeAtomically(const std::string& path, std::string_view bytes) {
    const auto fail = [&] {
        return FileWriteError(cp("Не удалось записать файл ") + win1251::fromUtf8(path));
    };
    const disk::QtReachablePath target(path);
    if (target.path().empty() || isDirectory(path)) throw fail();
    QSaveFile file(QString::fromStdString(target.path()));
    // Unbuffered: a buffered tail is written by commit(), which does not notice
    // when that write fails and would rename a truncated file over the target.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) throw fail();
    std::size_t written = 0;
    while (written < bytes.size()) {
        const qint64 n =
            file.write(bytes.data() + written, static_cast<qint64>(bytes.size() - written));
        if (n <= 0) {
            file.cancelWriting();
            throw fail();
        }
        written += static_cast<std::size_t>(n);
    }
    // Some file systems report a full disk only when the data reach it;
    // commit() syncs too, but ignores what the sync says.
    if (!syncedToDisk(file)) {
        file.cancelWriting();
        throw fail();
    }
    if (!file.commit()) throw fail();
}

struct AtomicFile::Impl {
    std::string path;
    QSaveFile file;
    explicit Impl(const std::string& p)
        : path(p), file(QString::fromUtf8(p.data(), static_cast<qsizetype>(p.size()))) {}
    FileWriteError fail() {
        file.cancelWriting();
        return FileWriteError(cp("Не удалось записать файл ") + win1251::fromUtf8(path));
    }
};

AtomicFile::AtomicFile(const std::string& path) : impl_(std::make_unique<Impl>(path)) {
    // Unbuffered, as writeAtomically: every failed write is seen here.
    if (isDirectory(path) || !impl_->file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw impl_->fail();
}

AtomicFile::~AtomicFile() {
    if (impl_->file.isOpen()) impl_->file.cancelWriting();
}

void AtomicFile::write(std::string_view bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const qint64 n =
            impl_->file.write(bytes.data() + written, static_cast<qint64>(bytes.size() - written));
        if (n <= 0) throw impl_->fail();
        written += static_cast<std::size_t>(n);
    }
}

void AtomicFile::commit() {
    if (!syncedToDisk(impl_->file)) throw impl_->fail();
    if (!impl_->file.commit()) throw impl_->fail();
}

bool isFile(const std::string& path) { return disk::isRegularFile(path); }

bool isDirectory(const std::string& path) { return disk::isFolder(path); }

}  // namespace textfile
