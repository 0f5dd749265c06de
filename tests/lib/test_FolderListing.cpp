#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>

#include "TestSupport.h"
#include "lib/FolderListing.h"

namespace fl = folderlisting;

namespace {

TEST(FolderListing, OnlyDisksAndSharesCountAsDrives) {
    EXPECT_TRUE(fl::isRealFileSystem("ext4", "/dev/sda1"));
    EXPECT_TRUE(fl::isRealFileSystem("vfat", "/dev/sdb1"));
    EXPECT_TRUE(fl::isRealFileSystem("nfs4", "server:/export/home"));
    EXPECT_TRUE(fl::isRealFileSystem("cifs", "//server/share"));
    EXPECT_FALSE(fl::isRealFileSystem("tmpfs", "tmpfs"));
    EXPECT_FALSE(fl::isRealFileSystem("tmpfs", "/dev/shm"));
    EXPECT_FALSE(fl::isRealFileSystem("overlay", "overlay"));
    EXPECT_FALSE(fl::isRealFileSystem("squashfs", "/dev/loop3"));
    EXPECT_FALSE(fl::isRealFileSystem("proc", "proc"));
}

TEST(FolderListing, DriveRootsStartWithTheRootAndAreSortedOnce) {
    const auto roots = fl::driveRoots();
    ASSERT_FALSE(roots.empty());
#ifdef _WIN32
    EXPECT_EQ(roots.front().substr(1), ":/");  // the first drive, e.g. "C:/"
#else
    EXPECT_EQ(roots.front(), "/");
#endif
    EXPECT_TRUE(std::is_sorted(roots.begin(), roots.end()));
    EXPECT_EQ(std::adjacent_find(roots.begin(), roots.end()), roots.end());
}

TEST(FolderListing, DriveOfTakesTheLongestRootOnAFolderBoundary) {
    const std::vector<std::string> roots = {"/", "/mnt/a", "/mnt/ab"};
    EXPECT_EQ(fl::driveOf("/mnt/ab/x", roots), "/mnt/ab");
    EXPECT_EQ(fl::driveOf("/mnt/a", roots), "/mnt/a");
    EXPECT_EQ(fl::driveOf("/mnt/abc", roots), "/");
    EXPECT_EQ(fl::driveOf("/", roots), "/");
    EXPECT_EQ(fl::driveOf("/home", {"/mnt/a"}), "");
}

TEST(FolderListing, FolderPathsAreCleanAndClimbToTheRoot) {
    EXPECT_EQ(fl::parentFolder("/a/b"), "/a");
    EXPECT_EQ(fl::parentFolder("/a"), "/");
    EXPECT_EQ(fl::parentFolder("/"), "");
    EXPECT_EQ(fl::joinFolder("/", "a"), "/a");
    EXPECT_EQ(fl::joinFolder("/a", "b"), "/a/b");
    const std::string here = QDir::currentPath().toStdString();
#ifdef _WIN32
    const std::string drive = here.substr(0, 2);  // a path without a drive is on the current one
#else
    const std::string drive;
#endif
    EXPECT_EQ(fl::normalFolder("/a/b/../c/"), drive + "/a/c");
    EXPECT_EQ(fl::normalFolder("//"), "/");
    EXPECT_EQ(fl::normalFolder("x/.."), here);
    EXPECT_EQ(fl::normalFolder(""), here);
}

TEST(FolderListing, ListsSortIgnoringCaseAndSkipHiddenEntries) {
    QTemporaryDir tmp;
    const std::string root = tmp.path().toStdString();
    for (const char* name : {"b.txt", "A.txt", "c.TXT", "readme", ".hidden.txt", "Ж.txt"})
        writeFile(root + "/" + name, "x");
    for (const char* name : {"zeta", "Alpha", "beta", ".git"}) QDir(tmp.path()).mkdir(name);

    EXPECT_EQ(fl::subFolders(root), (std::vector<std::string>{"Alpha", "beta", "zeta"}));
    EXPECT_EQ(fl::matchingFiles(root, "*.*"),
              (std::vector<std::string>{"A.txt", "b.txt", "c.TXT", "readme", "Ж.txt"}));
    EXPECT_EQ(fl::matchingFiles(root, "*.txt"),
              (std::vector<std::string>{"A.txt", "b.txt", "c.TXT", "Ж.txt"}));
    EXPECT_TRUE(fl::canEnter(root + "/zeta"));
    EXPECT_FALSE(fl::canEnter(root + "/readme"));
    EXPECT_FALSE(fl::canEnter(root + "/gone"));
    EXPECT_TRUE(fl::subFolders(root + "/gone").empty());
    EXPECT_TRUE(fl::matchingFiles(root + "/gone", "*.*").empty());
}

}  // namespace
