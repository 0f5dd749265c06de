#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "TestSupport.h"
#include "lib/VezorError.h"
#include "lib/clsFindFile.h"

namespace {

using Items = std::vector<std::string>;

std::string inApp(const std::string& relative) { return testProgramFolder() + "/" + relative; }
void makeDir(const std::string& path) { QDir().mkpath(QString::fromStdString(path)); }
bool exists(const std::string& path) { return QFileInfo::exists(QString::fromStdString(path)); }
void link(const std::string& target, const std::string& at) {
    ASSERT_TRUE(QFile::link(QString::fromStdString(target), QString::fromStdString(at)));
}

TEST(FindAllFile, FilesOfOneFolderSortedIgnoringCase) {
    const std::string a = inApp("font/A");
    writeFile(a + "/192", "");
    writeFile(a + "/b", "");
    writeFile(a + "/C", "");
    writeFile(a + "/.hidden", "");
    writeFile(a + "/sub/193", "");

    Collection<std::string> plain, slashed, backslashed;
    clsFindFile find;
    find.FindAllFile(a, plain);
    find.FindAllFile(a + "/", slashed);
    find.FindAllFile(a + "\\", backslashed);
    EXPECT_EQ(plain.items(), (Items{a + "/.hidden", a + "/192", a + "/b", a + "/C"}));
    EXPECT_EQ(slashed.items(), plain.items());
    EXPECT_EQ(backslashed.items(), (Items{a + "\\.hidden", a + "\\192", a + "\\b", a + "\\C"}))
        << "the folder text is kept as the caller gave it";

    Collection<std::string> kept;
    kept.Add("earlier");
    find.FindAllFile(inApp("missing"), kept);
    find.FindAllFile(a + "/sub", kept);
    EXPECT_EQ(kept.items(), (Items{"earlier", a + "/sub/193"}));
}

TEST(FindAllDir, BreadthFirstSkippingPointNamesAndRepeatable) {
    const std::string root = inApp("font");
    for (const char* d : {"X/X1/X2", "y", "Y2/.svn/inner", ".git", "X/x0"}) makeDir(root + "/" + d);
    writeFile(root + "/file", "");

    clsFindFile find;
    Collection<std::string> first, second;
    find.FindAllDir(root, first);
    find.FindAllDir(root + "/", second);
    const Items expected{root + "/X",    root + "/y",    root + "/Y2",
                         root + "/X/x0", root + "/X/X1", root + "/X/X1/X2"};
    EXPECT_EQ(first.items(), expected);
    EXPECT_EQ(second.items(), expected);

    Collection<std::string> seeded;
    seeded.Add(root + "/X/X1");
    find.FindAllDir(root + "/y", seeded);
    EXPECT_EQ(seeded.items(), (Items{root + "/X/X1", root + "/X/X1/X2"}))
        << "items already held are listed too";

    Collection<std::string> none;
    find.FindAllDir(inApp("missing"), none);
    EXPECT_TRUE(none.empty());
}

TEST(FindAllDir, LinkLoopsEnd) {
#ifdef _WIN32
    GTEST_SKIP() << "QFile::link makes a shell shortcut on Windows, not a folder link";
#endif
    const std::string root = inApp("loop");
    makeDir(root + "/a");
    link(root, root + "/a/back");
    link(root, root + "/a/again");
    Collection<std::string> folders;
    clsFindFile().FindAllDir(root, folders);
    EXPECT_EQ(folders.items(), (Items{root + "/a", root + "/a/again", root + "/a/back"}));
}

TEST(FindAllFailInAllDir, SubFolderFilesFirstThenOwn) {
    const std::string root = inApp("tree");
    writeFile(root + "/own.txt", "");
    writeFile(root + "/B/b.txt", "");
    writeFile(root + "/a/deep/d.txt", "");
    writeFile(root + "/a/a.txt", "");
    std::string dir = root + "/";
    Collection<std::string> files;
    clsFindFile().FindAllFailInAllDir(dir, files);
    EXPECT_EQ(dir, root);
    EXPECT_EQ(files.items(), (Items{root + "/a/a.txt", root + "/B/b.txt", root + "/a/deep/d.txt",
                                    root + "/own.txt"}));
}

TEST(DelDirAndAllFail, RemovesTheTreeButNeverFollowsLinks) {
    writeFile(inApp("site/index.htm"), "x");
    writeFile(inApp("site/pic/a.gif"), "x");
    writeFile(inApp("site/pic/big/b.gif"), "x");
    writeFile(inApp("outside/keep.txt"), "keep");
    link(inApp("outside"), inApp("site/linked"));
    link(inApp("outside/keep.txt"), inApp("site/pic/keep-link.txt"));

    clsFindFile().DelDirAndAllFail("site\\");
    EXPECT_FALSE(exists(inApp("site")));
    EXPECT_EQ(readFile(inApp("outside/keep.txt")), "keep");

    writeFile(inApp("flat/a.txt"), "x");
    clsFindFile().DelDirAndAllFail("flat");
    EXPECT_FALSE(exists(inApp("flat"))) << "a folder without sub-folders goes as well";

    writeFile(inApp("svn/.svn/entries"), "x");
    writeFile(inApp("svn/sub/a.txt"), "x");
    clsFindFile().DelDirAndAllFail("svn");
    EXPECT_FALSE(exists(inApp("svn/sub")));
    EXPECT_TRUE(exists(inApp("svn/.svn/entries"))) << "point folders are not listed";

    EXPECT_NO_THROW(clsFindFile().DelDirAndAllFail("missing"));
    EXPECT_THROW(clsFindFile().DelDirAndAllFail(""), InvalidCallError);
    EXPECT_THROW(clsFindFile().DelDirAndAllFail("a\\..\\.."), InvalidCallError);
    EXPECT_TRUE(exists(inApp("outside/keep.txt")));
}

}  // namespace
