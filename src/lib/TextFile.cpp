#include "lib/TextFile.h"

#include <QFileInfo>
#include <QTemporaryFile>
#include <cstdio>
#include <memory>

#include "lib/DiskFiles.h"
#include "lib/VezorError.h"
#include "lib/Win1251.h"

namespace textfile {

namespace {

// The user's message for a file that could not be written; a folder that is
// not there is the one reason worth naming, since nothing else tells it.
FileWriteError writeFailure(const std::string& path) {
    std::string message = cp("Не удалось записать файл ") + win1251::fromUtf8(path);
    const std::string folder = disk::utf8Path(disk::fsPath(path).parent_path());
    if (!folder.empty() && !isDirectory(folder))
        message += cp(": папки ") + win1251::fromUtf8(folder) + cp(" нет");
    return FileWriteError(message);
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

std::vector<std::string_view> splitLineViews(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::vector<std::string> splitLines(std::string_view text) {
    const std::vector<std::string_view> views = splitLineViews(text);
    return std::vector<std::string>(views.begin(), views.end());
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
    const auto fail = [&] { return writeFailure(path); };
    const disk::QtReachablePath target(path);
    if (target.path().empty() || isDirectory(path)) throw fail();
    disk::ReplacingFile file(target.path());
    if (!file.open() || !file.write(bytes) || !file.commit()) throw fail();
}

struct AtomicFile::Impl {
    std::string path;
    disk::ReplacingFile file;
    explicit Impl(const std::string& p) : path(p), file(p) {}
    FileWriteError fail() {
        file.cancel();
        return writeFailure(path);
    }
};

AtomicFile::AtomicFile(const std::string& path) : impl_(std::make_unique<Impl>(path)) {
    if (isDirectory(path) || !impl_->file.open()) throw impl_->fail();
}

AtomicFile::~AtomicFile() = default;

void AtomicFile::write(std::string_view bytes) {
    if (!impl_->file.write(bytes)) throw impl_->fail();
}

void AtomicFile::commit() {
    if (!impl_->file.commit()) throw impl_->fail();
}

bool isFile(const std::string& path) { return disk::isRegularFile(path); }

bool isDirectory(const std::string& path) { return disk::isFolder(path); }

struct ScratchFile::Impl {
    std::string target;
    QTemporaryFile file;
};

ScratchFile::ScratchFile(const std::string& target) : impl_(std::make_unique<Impl>()) {
    impl_->target = target;
    const QFileInfo info(QString::fromStdString(target));
    impl_->file.setFileTemplate(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                                QStringLiteral(".XXXXXX"));
}

ScratchFile::~ScratchFile() = default;

bool ScratchFile::open() { return impl_->file.open(); }

void ScratchFile::write(std::string_view bytes) {
    const auto size = static_cast<qint64>(bytes.size());
    if (impl_->file.write(bytes.data(), size) != size) throw writeFailure(impl_->target);
}

void ScratchFile::readBack(const std::function<void(std::string_view)>& take) {
    if (!impl_->file.flush() || !impl_->file.seek(0)) throw writeFailure(impl_->target);
    std::string block(std::size_t{1} << 20, '\0');
    for (;;) {
        const qint64 n = impl_->file.read(block.data(), static_cast<qint64>(block.size()));
        if (n < 0) throw writeFailure(impl_->target);
        if (n == 0) return;
        take(std::string_view(block.data(), static_cast<std::size_t>(n)));
    }
}

}  // namespace textfile
