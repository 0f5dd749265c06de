#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "TestSupport.h"
#include "lib/Fail_YN.h"
#include "lib/ProgramFolder.h"

namespace {

std::string inApp(const std::string& relative) { return testProgramFolder() + "/" + relative; }
bool exists(const std::string& path) { return QFileInfo::exists(QString::fromStdString(path)); }
bool isFolder(const std::string& path) { return QFileInfo(QString::fromStdString(path)).isDir(); }

TEST(PathParts, SplitAtEitherSeparatorAndCutExtensions) {
    EXPECT_EQ(Fail_YN::DelFailInPath("C:\\Prog\\Projects\\a.txt"), "C:\\Prog\\Projects\\");
    EXPECT_EQ(Fail_YN::DelFailInPath("a.txt"), "");
    EXPECT_EQ(Fail_YN::DelFailInPath("pages/x/y.htm"), "pages/x/");

    EXPECT_EQ(Fail_YN::DelPath("C:\\Prog\\Projects\\a.txt"), "a.txt");
    EXPECT_EQ(Fail_YN::DelPath("a.txt"), "a.txt");
    EXPECT_EQ(Fail_YN::DelPath("C:\\Prog\\"), "");
    EXPECT_EQ(Fail_YN::DelPath("a/b\\c"), "c");

    EXPECT_EQ(Fail_YN::DelRashirenie("plate.txt"), "plate");
    EXPECT_EQ(Fail_YN::DelRashirenie("my.plate.txt"), "my") << "cut at the first point";
    EXPECT_EQ(Fail_YN::DelRashirenie("plate"), "plate");
    EXPECT_EQ(Fail_YN::DelRashirenie("dir.1\\plate"), "dir.1\\plate");
    EXPECT_EQ(Fail_YN::DelRashirenie(""), "");

    EXPECT_EQ(Fail_YN::RashirenieView("my.plate.TXT"), "TXT");
    EXPECT_EQ(Fail_YN::RashirenieView("dir.1\\plate"), "1\\plate");
    EXPECT_EQ(Fail_YN::RashirenieView("plate"), "");
}

TEST(AppPath, RelativeToProgramFolderIgnoringCase) {
    setProgramFolder("C:\\Prog");
    EXPECT_EQ(Fail_YN::AppPath(), "C:\\Prog");
    EXPECT_EQ(Fail_YN::DelAppPath("c:\\prog\\font\\Arial1"), "font\\Arial1");
    EXPECT_EQ(Fail_YN::DelAppPath("C:\\Prog/font/A"), "font/A");
    EXPECT_EQ(Fail_YN::DelAppPath("C:\\Prog\\"), "");
    EXPECT_EQ(Fail_YN::DelAppPath("C:\\Prog"), "");
    EXPECT_EQ(Fail_YN::DelAppPath("D:\\Other\\x.txt"), "");
    EXPECT_EQ(Fail_YN::DelAppPath("C:\\Program\\x.txt"), "") << "a sibling is outside";
    EXPECT_EQ(Fail_YN::DelAppPath("C:"), "");

    setProgramFolder("/home/Юзер/Prog");
    EXPECT_EQ(Fail_YN::DelAppPath("/HOME/юзер/prog/font/Ёж"), "font/Ёж");

    setProgramFolder("  /opt/vezor ");
    EXPECT_EQ(Fail_YN::AppPath(), "/opt/vezor");
    setProgramFolder("/");
    EXPECT_EQ(Fail_YN::AppPath(), "/");
    EXPECT_EQ(Fail_YN::DelAppPath("/font/A"), "font/A");
}

TEST(FailYN, FollowsTheLibraryPathConvention) {
    writeFile(inApp("font/A/192"), "10 10\r\n");
    EXPECT_FALSE(Fail_YN::FailYN("font\\A\\192"));
    EXPECT_FALSE(Fail_YN::FailYN("font/A/192"));
    EXPECT_TRUE(Fail_YN::FailYN("font\\A\\193"));
    EXPECT_TRUE(Fail_YN::FailYN("font\\A")) << "a folder is no file";
    EXPECT_TRUE(Fail_YN::FailYN("nofolder\\192"));
    EXPECT_FALSE(Fail_YN::FailYN("@" + inApp("font/A/192")));
    EXPECT_TRUE(Fail_YN::FailYN(inApp("font/A/192"))) << "without @ the path is relative";
    EXPECT_TRUE(Fail_YN::FailYN(""));
}

TEST(FailNewNull, CreatesOrEmptiesAndKillDeletes) {
    writeFile(inApp("pages/old.htm"), "content");
    EXPECT_FALSE(Fail_YN::FailNewNull("pages\\old.htm"));
    EXPECT_EQ(readFile(inApp("pages/old.htm")), "");
    EXPECT_FALSE(Fail_YN::FailNewNull("@" + inApp("new.txt")));
    EXPECT_TRUE(exists(inApp("new.txt")));
    EXPECT_TRUE(Fail_YN::FailNewNull("missing\\x.txt"));
    EXPECT_TRUE(Fail_YN::FailNewNull("pages")) << "a folder cannot be opened as a file";

    Fail_YN::FailNewNull_kill("pages\\old.htm");
    Fail_YN::FailNewNull_kill("@" + inApp("new.txt"));
    EXPECT_FALSE(exists(inApp("pages/old.htm")));
    EXPECT_FALSE(exists(inApp("new.txt")));
    EXPECT_NO_THROW(Fail_YN::FailNewNull_kill("missing\\x.txt"));
    Fail_YN::FailNewNull_kill("pages");
    EXPECT_TRUE(isFolder(inApp("pages")));
}

TEST(RecTreeStart, ListsOrdinaryFilesIntoIndicesFromOne) {
    writeFile(inApp("d/b.txt"), "");
    writeFile(inApp("d/A.txt"), "");
    writeFile(inApp("d/.hidden"), "");
    writeFile(inApp("d/sub/c.txt"), "");
    std::vector<std::string> files{"keep", "x", "y", "z", "w"};
    const std::string prefix = inApp("d/");
    Fail_YN::RecTreeStart(prefix, files);
    EXPECT_EQ(files, (std::vector<std::string>{"keep", prefix + "A.txt", prefix + "b.txt"}));

    QDir().mkpath(QString::fromStdString(inApp("empty")));
    Fail_YN::RecTreeStart(inApp("empty/"), files);
    Fail_YN::RecTreeStart(inApp("gone/"), files);
    EXPECT_EQ(files.size(), 3u) << "nothing found leaves the array alone";
}

TEST(FileTypes, ByExtensionAnywhereInTheName) {
    EXPECT_TRUE(Fail_YN::YNPic("a.JPEG"));
    EXPECT_FALSE(Fail_YN::YNPic("bmp"));
    EXPECT_EQ(Fail_YN::TipFail_PoRashir("setup.exe.htm"), 255) << "rows are tried in order";
    EXPECT_EQ(Fail_YN::TipFail_PoRashir("Page.HTML"), 4);
    EXPECT_EQ(Fail_YN::TipFail_PoRashir("p.Wmf"), 10);
    EXPECT_EQ(Fail_YN::TipFail_PoRashir("doc.djvu"), 11);
    EXPECT_EQ(Fail_YN::TipFail_PoRashir("a.mp3"), 12);
    EXPECT_EQ(Fail_YN::TipFail_PoRashir("a.txt"), 0);
    EXPECT_TRUE(Fail_YN::TipFail_PoRashir_11("m.SWF"));
    EXPECT_FALSE(Fail_YN::TipFail_PoRashir_11("m.avi"));
}

TEST(YNFailPic, MissingPictureIsReportedAndReplaced) {
    writeFile(inApp("pic/ok.gif"), "GIF");
    std::string present = "pic\\ok.gif";
    Fail_YN::YNFailPic(present);
    EXPECT_EQ(present, "pic\\ok.gif");
    EXPECT_TRUE(testDialogs().calls.empty());

    std::string missing = "pic\\ёж.gif";
    Fail_YN::YNFailPic(missing);
    EXPECT_EQ(missing, "nopic.bmp");
    ASSERT_EQ(testDialogs().calls.size(), 1u);
    EXPECT_EQ(testDialogs().calls[0].text, w("Файл pic\\ёж.gif не найден"));
    EXPECT_EQ(testDialogs().calls[0].icon, Dialogs::Icon::Error);
}

TEST(AutoNameFail, FirstFreeNumberAndNormalisedExtension) {
    std::string ext = "htm";
    EXPECT_EQ(Fail_YN::AutoNameFail("pages", ext, ""), "ob-1.htm");
    EXPECT_EQ(ext, ".htm");
    writeFile(inApp("pages/ob-1.htm"), "");
    EXPECT_EQ(Fail_YN::AutoNameFail(" pages\\ ", ext, ""), "ob-2.htm");
    writeFile(inApp("pages/ob-2.htm"), "");
    writeFile(inApp("pages/ob-4.htm"), "");
    EXPECT_EQ(Fail_YN::AutoNameFail("@" + inApp("pages"), ext, ""), "ob-3.htm");

    std::string txt = " .txt ";
    EXPECT_EQ(Fail_YN::AutoNameFail("", txt, "plate"), "plate-1.txt");
    EXPECT_EQ(txt, ".txt");
    EXPECT_TRUE(testDialogs().calls.empty());
}

TEST(AutoNameFail, AllNumbersTakenGivesMessageAndEmptyName) {
    // Wine looks each new name up through the whole folder: 32000 files take a quarter of an hour.
    if (runsUnderWine()) GTEST_SKIP() << "32000 files in one folder are too slow under Wine";
    QDir().mkpath(QString::fromStdString(inApp("full")));
    for (int n = 1; n <= 32000; ++n) {
        QFile f(QString::fromStdString(inApp("full/ob-" + std::to_string(n) + ".txt")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    std::string ext = "txt";
    EXPECT_EQ(Fail_YN::AutoNameFail("full", ext, ""), "");
    ASSERT_EQ(testDialogs().calls.size(), 1u);
    EXPECT_EQ(testDialogs().calls[0].text, w("Автоматическое присвоение имени невозможно"));
    EXPECT_EQ(testDialogs().calls[0].icon, Dialogs::Icon::Error);
}

TEST(DirCreat, CreatesTheLastLevelOnlyAndKeepsExistingFolders) {
    std::string dir = "pages\\";
    Fail_YN::DirCreat(dir);
    EXPECT_EQ(dir, inApp("pages"));
    EXPECT_TRUE(isFolder(inApp("pages")));

    writeFile(inApp("full/keep.txt"), "x");
    std::string full = "full";
    Fail_YN::DirCreat(full);
    EXPECT_EQ(readFile(inApp("full/keep.txt")), "x");

    std::string deep = "a\\b";
    EXPECT_THROW(Fail_YN::DirCreat(deep), FolderCreateError);
    EXPECT_FALSE(exists(inApp("a")));
}

TEST(Slashes, ConvertAndCountBothSeparators) {
    EXPECT_EQ(Fail_YN::SlashOnWWW("a\\b/c\\\\d"), "a/b/c//d");
    EXPECT_EQ(Fail_YN::SlashOnLOCAL("a\\b/c//d"), "a\\b\\c\\\\d");
    EXPECT_EQ(Fail_YN::SlashKOL("a\\b/c"), "2");
    EXPECT_EQ(Fail_YN::SlashKOL("abc"), "0");
}

TEST(PageReferences, BetweenPagesAndResourcesBelowTheProgramFolder) {
    EXPECT_EQ(Fail_YN::PutiCherezApp("pages\\pic\\a.gif", "pages\\pic\\p.htm"), "a.gif");
    EXPECT_EQ(Fail_YN::PutiCherezApp("PAGES\\x.gif", "pages\\p.htm"), "x.gif");
    EXPECT_EQ(Fail_YN::PutiCherezApp("pic\\a.gif", "pages\\sub\\p.htm"), "../../pic\\a.gif");
    EXPECT_EQ(Fail_YN::PutiCherezApp("a.gif", "p.htm"), "a.gif");
    EXPECT_EQ(Fail_YN::PutiCherezApp("pic/a.gif", "p.htm"), "pic/a.gif");

    EXPECT_EQ(Fail_YN::PutiCherezAppDEL("../..\\pic\\a.gif"), "pic/a.gif");
    EXPECT_EQ(Fail_YN::PutiCherezAppDEL("a/../b"), "a/../b");
    EXPECT_EQ(Fail_YN::PutiCherezAppKOL("../..\\x/../y"), 2);
    EXPECT_EQ(Fail_YN::PutiCherezAppKOL(".../x"), 0);
    EXPECT_EQ(Fail_YN::PutiCherezAppKOL(".."), 0);

    EXPECT_EQ(Fail_YN::PutiPrivedenieOtApp("../pic/a.gif", "pages\\p.htm"), "pic/a.gif");
    EXPECT_EQ(Fail_YN::PutiPrivedenieOtApp("pic/a.gif", "pages\\p.htm"), "pages\\pic\\a.gif");
    EXPECT_EQ(Fail_YN::PutiPrivedenieOtApp("../../a.gif", "pages\\p.htm"), "..\\..\\a.gif");
    EXPECT_EQ(Fail_YN::PutiPrivedenieOtApp("pic\\a.gif", "p.htm"), "pic/a.gif");
}

TEST(MakeDir_OnLocal, CreatesEveryFolderOnTheWay) {
    Fail_YN::MakeDir_OnLocal("@" + inApp("a\\b/c\\f.txt"));
    EXPECT_TRUE(isFolder(inApp("a/b/c")));
    EXPECT_FALSE(exists(inApp("a/b/c/f.txt")));
    Fail_YN::MakeDir_OnLocal(inApp("a/b/d/f.txt"));
    EXPECT_TRUE(isFolder(inApp("a/b/d")));
    Fail_YN::MakeDir_OnLocal("rel\\x\\f.txt");
    EXPECT_TRUE(isFolder(inApp("rel/x")));
    EXPECT_NO_THROW(Fail_YN::MakeDir_OnLocal("f.txt"));
    EXPECT_NO_THROW(Fail_YN::MakeDir_OnLocal(""));
}

}  // namespace
