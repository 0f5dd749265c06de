#pragma once

#include <string>

// A tiny tmpfs mounted for one test, to see what writes do on a full or
// read-only disk. Needs the right to mount (root); tests skip without it.
class SmallDisk {
  public:
    explicit SmallDisk(std::size_t bytes = 64 * 1024);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& path() const { return path_; }
    // Fills the disk so that no further byte fits.
    void fill();
    // Makes the disk read-only.
    bool makeReadOnly();
    // Names of the entries in the disk's top folder.
    std::string listing() const;

  private:
    std::string path_;
    bool mounted_ = false;
};
