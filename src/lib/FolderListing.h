#pragma once

#include <string>
#include <string_view>
#include <vector>

// What the file chooser's drive, folder and file lists show. Paths are UTF-8,
// absolute, without a trailing separator except the root "/". Listings are
// sorted by name ignoring case and leave out hidden entries (names with a
// leading "."); a name that is not UTF-8 is listed decoded from Windows-1251.
// None of these report failures: a folder that cannot be read lists nothing.
namespace folderlisting {

// "/" (on Windows the drives, "C:/") and the roots of the mounted volumes that
// hold real file systems, sorted.
std::vector<std::string> driveRoots();
// Memory, kernel and image file systems (tmpfs, proc, overlay, squashfs...)
// are no places to keep files in; disks and network shares are.
bool isRealFileSystem(std::string_view type, std::string_view device);
// The longest root that holds the folder; "" when none does.
std::string driveOf(const std::string& folder, const std::vector<std::string>& roots);

// Absolute and cleaned ("a/b/../c/" -> "a/c"), relative to the current folder.
std::string normalFolder(const std::string& path);
// The folder exists and its entries can be listed.
bool canEnter(const std::string& folder);
// The folder above; "" for the root.
std::string parentFolder(const std::string& folder);
std::string joinFolder(const std::string& folder, const std::string& name);

std::vector<std::string> subFolders(const std::string& folder);
// Names of the regular files (not folders, pipes or devices) that match the wildcard pattern.
std::vector<std::string> matchingFiles(const std::string& folder, const std::string& pattern);

}  // namespace folderlisting
