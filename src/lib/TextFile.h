#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Whole-file reading and safe writing. Paths are UTF-8.
namespace textfile {

// The file's bytes; throws FileReadError (message names the file) when it cannot be read.
// Only a regular file is read: a folder, a named pipe or a device cannot be.
std::string readBytes(const std::string& path);

// Splits text into lines ending at CR LF, CR or LF. A final line without an
// end is kept; text that ends with a line end yields no extra empty line.
std::vector<std::string> splitLines(std::string_view text);
// The same lines as views into `text`, which must outlive them.
std::vector<std::string_view> splitLineViews(std::string_view text);

// Lines joined, each followed by CR LF.
std::string joinCrLf(const std::vector<std::string>& lines);

// Writes the bytes to a temporary file in the target's folder and renames it
// over the target, so a failure leaves an earlier file whole and no temporary
// file behind. Throws FileWriteError with the user's message.
void writeAtomically(const std::string& path, std::string_view bytes);

// A file written piece by piece with the same safety: the pieces go to a
// temporary file beside the target, which commit() syncs and renames over it.
// Dropped without commit() (or after a failure), it leaves the target as it was.
// write() and commit() throw FileWriteError with the user's message.
class AtomicFile {
  public:
    explicit AtomicFile(const std::string& path);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    void write(std::string_view bytes);
    void commit();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// A scratch file beside a target, gone when dropped: bytes held for a while
// on the target's disk, such as a program's body waiting for the lines that
// lead it. write() and readBack() throw FileWriteError naming the target.
class ScratchFile {
  public:
    explicit ScratchFile(const std::string& target);
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    // False when none can be made beside the target.
    bool open();
    void write(std::string_view bytes);
    // Hands every byte written, in order, to `take`, in blocks.
    void readBack(const std::function<void(std::string_view)>& take);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// True when a regular file exists at the path.
bool isFile(const std::string& path);
bool isDirectory(const std::string& path);

}  // namespace textfile
