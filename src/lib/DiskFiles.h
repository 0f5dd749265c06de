#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The file system as the path helpers meet it, through the bytes of names:
// Qt cannot name a file whose name is not UTF-8 (Windows-1251 bytes unpacked
// from a Windows archive), sees through links where a tree walk must not, and
// opens a named pipe or a device as if it were a file. Paths are UTF-8 with
// "/" separators ("\" too on Windows, whose names are UTF-16 on disk and
// reached through the wide calls). One implementation per system: posix/ and
// windows/.
namespace disk {

struct Entry {
    // UTF-8; a name on disk that is not UTF-8 is decoded from Windows-1251.
    std::string name;
    bool link = false;     // the entry itself is a symbolic link
    bool folder = false;   // a folder, or a link to one
    bool regular = false;  // a regular file, or a link to one
};

// The folder's entries except "." and "..", sorted by name ignoring case;
// empty when the folder cannot be read.
std::vector<Entry> entries(const std::string& folder);

// The path as the disk spells it: a component that is missing under its UTF-8
// name but present under its Windows-1251 bytes takes those bytes, so that a
// name listed decoded can be opened again.
std::string onDisk(const std::string& path);

bool isLink(const std::string& path);
// Links followed.
bool isFolder(const std::string& path);
bool isRegularFile(const std::string& path);

// Every link resolved, with "/" separators; "" when the path does not lead anywhere.
std::string canonical(const std::string& path);

// Opens a regular file (or a link to one) for reading; nullptr, with errno
// set, for anything else: missing, a folder, a named pipe, a device, a socket.
// A pipe would block the program and a device would never end.
FILE* openRegularFile(const std::string& path);

// A name under which Qt reaches the path: Qt names files in UTF-8 only, so a
// folder on the way whose name on disk is Windows-1251 bytes is passed as its
// open descriptor. Empty when the file's own name on disk is not UTF-8.
class QtReachablePath {
  public:
    explicit QtReachablePath(const std::string& path);
    ~QtReachablePath();
    QtReachablePath(const QtReachablePath&) = delete;
    QtReachablePath& operator=(const QtReachablePath&) = delete;
    const std::string& path() const { return path_; }

  private:
    int folder_ = -1;
    std::string path_;
};

// fopen() of a UTF-8 path; give the mode its "b", or Windows turns line ends
// into CR LF and stops reading at byte 26.
FILE* openFile(const std::string& path, const char* mode);

// The path as the standard library names it (std::string is the ANSI code page
// there on Windows), and back to UTF-8.
std::filesystem::path fsPath(const std::string& path);
std::string utf8Path(const std::filesystem::path& path);

// The roots of the folder tree: "/"; on Windows every drive ("C:/").
std::vector<std::string> fileSystemRoots();

// The folder's entries can be listed (on POSIX: read and search rights).
bool canList(const std::string& folder);

// Brings every file written into the folder onto the disk; false when that failed.
bool syncFolder(const std::string& folder);

// A file written beside its target under a temporary name; commit() brings
// it onto the disk and puts it in the target's place in one step, so the
// target is either the old file or the new one, whole. Dropped without
// commit(), the temporary file is removed and the target left alone. Each
// call returns false on failure (and the temporary file is gone then).
class ReplacingFile {
  public:
    explicit ReplacingFile(const std::string& path);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;
    bool open();
    bool write(std::string_view bytes);
    bool commit();
    void cancel();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Deletes the file, link or folder tree at the path (disk spelling, as
// canonical() or onDisk() give it). Links are removed as links, never
// followed. Folders whose name begins with "." are kept, and so are the
// folders above them. Failures are skipped.
void removeTree(const std::string& path);

}  // namespace disk
