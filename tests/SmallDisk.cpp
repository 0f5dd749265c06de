#include "SmallDisk.h"

#ifndef _WIN32
#include <sys/mount.h>
#include <unistd.h>
#endif

#include <QDir>
#include <cstdio>
#include <cstdlib>
#include <vector>

#ifdef _WIN32
// Windows mounts no small disk for a test: the tests that need one are skipped.
SmallDisk::SmallDisk(std::size_t) {}
SmallDisk::~SmallDisk() = default;
void SmallDisk::fill() {}
bool SmallDisk::makeReadOnly() { return false; }
#else
SmallDisk::SmallDisk(std::size_t bytes) {
    char pattern[] = "/tmp/vezor-disk-XXXXXX";
    if (const char* made = mkdtemp(pattern)) path_ = made;
    if (path_.empty()) return;
    const std::string options = "size=" + std::to_string(bytes);
    mounted_ = ::mount("tmpfs", path_.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

SmallDisk::~SmallDisk() {
    if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
    if (!path_.empty()) ::rmdir(path_.c_str());
}

void SmallDisk::fill() {
    const std::string filler = path_ + "/filler";
    if (FILE* f = std::fopen(filler.c_str(), "wb")) {
        std::vector<char> block(4096, 'x');
        while (std::fwrite(block.data(), 1, block.size(), f) == block.size()) {
        }
        std::fflush(f);
        // Take the last partial block too.
        while (std::fwrite(block.data(), 1, 1, f) == 1 && std::fflush(f) == 0) {
        }
        std::fclose(f);
    }
}

bool SmallDisk::makeReadOnly() {
    return mounted_ &&
           ::mount("tmpfs", path_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

#endif

std::string SmallDisk::listing() const {
    return QDir(QString::fromStdString(path_))
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name)
        .join(',')
        .toStdString();
}
