// What users' disks hold besides plain files and folders: links leading out
// of a tree or back into it, named pipes, names in Windows-1251 bytes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>

#include "TestSupport.h"
#include "font/FontStorage.h"
#include "gcode/GCodeReader.h"
#include "lib/EventPump.h"
#include "lib/Fail_YN.h"
#include "lib/FolderListing.h"
#include "lib/TextFile.h"
#include "lib/VezorError.h"
#include "lib/clsFindFile.h"
#include "lib/cls_PropertyHTML.h"
#include "main/FontList.h"
#include "main/ProjectFile.h"

namespace {

namespace fs = std::filesystem;
using Items = std::vector<std::string>;

std::string inApp(const std::string& relative) { return testProgramFolder() + "/" + relative; }
bool there(const std::string& path) { return fs::exists(fs::symlink_status(path)); }

// A read that waits on the pipe fails the test; a reader and a writer that
// come and go then release it.
template <class Read>
void expectNoWait(const std::string& pipe, Read read) {
    using namespace std::chrono_literals;
    auto done = std::async(std::launch::async, read);
    if (done.wait_for(5s) == std::future_status::timeout) {
        ADD_FAILURE() << "waits on the named pipe";
        while (done.wait_for(100ms) == std::future_status::timeout) {
            const int r = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
            const int w = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
            if (w >= 0) ::close(w);
            if (r >= 0) ::close(r);
        }
    }
    done.get();
}

TEST(DiskOddities, FolderDeletionNeverLeavesTheProgramFolderOrSparesPartOfTheTree) {
    QTemporaryDir outside;
    const std::string out = outside.path().toStdString();
    writeFile(out + "/sub/keep.txt", "keep");
    fs::create_directory_symlink(out, inApp("lnk"));
    EXPECT_THROW(clsFindFile().DelDirAndAllFail("lnk/sub"), InvalidCallError);
    EXPECT_EQ(readFile(out + "/sub/keep.txt"), "keep");
    clsFindFile().DelDirAndAllFail("lnk");
    EXPECT_FALSE(there(inApp("lnk")));
    EXPECT_EQ(readFile(out + "/sub/keep.txt"), "keep") << "a link goes as a link";

    writeFile(inApp("del5/real/a/b/f.txt"), "x");
    fs::create_directory_symlink(inApp("del5/real"), inApp("del5/alink"));
    clsFindFile().DelDirAndAllFail("del5");
    EXPECT_FALSE(there(inApp("del5")));
}

TEST(DiskOddities, ListingsDoNotWalkThroughLinkedFolders) {
    QTemporaryDir outside;
    const std::string out = outside.path().toStdString();
    writeFile(out + "/deep/65", "1,1\r\n");
    writeFile(inApp("font/A/65"), "1,1\r\n");
    fs::create_directory_symlink(out, inApp("font/outer"));
    EXPECT_EQ(FontList(), (Items{"font/A", "font/outer"}));

    std::string root = inApp("font");
    Collection<std::string> files;
    clsFindFile().FindAllFailInAllDir(root, files);
    EXPECT_EQ(files.items(), Items{inApp("font/A/65")});
}

TEST(DiskOddities, NamedPipesAreNeverOpened) {
    ASSERT_TRUE(fs::create_directories(inApp("font/A")));
    const std::string pipe = inApp("font/A/200");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EventPump pump;
    expectNoWait(pipe, [&] { EXPECT_THROW(ReadLetterLines(pipe), FileReadError); });
    expectNoWait(pipe, [&] { EXPECT_THROW(ReadProjectFile(pipe, pump), NotAProjectError); });
    expectNoWait(pipe, [&] {
        PenPoints points;
        ViewBounds bounds;
        EXPECT_THROW(ReadGCodeFile(pipe, points, bounds, pump), FileReadError);
    });
    expectNoWait(pipe, [&] {
        cls_PropertyHTML page;
        page.Load("@" + pipe);
        EXPECT_EQ(testDialogs().calls.size(), 1u) << "the page could not be read";
    });
    expectNoWait(pipe, [&] { EXPECT_TRUE(Fail_YN::FailYN("font/A/200")); });
    expectNoWait(pipe, [&] { EXPECT_TRUE(Fail_YN::FailNewNull("font/A/200")); });
}

TEST(DiskOddities, Windows1251NamesAreListedDecodedAndOpen) {
    const std::string font = inApp("font/\xCA\xE8\xF0");  // «Кир»
    fs::create_directories(font);
    std::ofstream(font + "/192", std::ios::binary) << "1,2\r\n";
    std::ofstream(inApp("\xCF\xEB\xE0\xF2\xE0.txt"), std::ios::binary) << "plate";  // «Плата»

    EXPECT_EQ(FontList(), Items{"font/Кир"});
    EXPECT_EQ(ListFontLetters("font/Кир"), std::vector<int>{192});
    EXPECT_EQ(ReadLetterLines(LetterFilePath("font/Кир", 192)), Items{"1,2"});
    EXPECT_EQ(folderlisting::subFolders(inApp("font")), Items{"Кир"});
    EXPECT_EQ(folderlisting::matchingFiles(testProgramFolder(), "*.txt"), Items{"Плата.txt"});
    EXPECT_EQ(textfile::readBytes(inApp("Плата.txt")), "plate");
    EXPECT_FALSE(Fail_YN::FailYN("Плата.txt"));

    WriteLetterFile(LetterFilePath("font/Кир", 193), {"3,4"});
    EXPECT_EQ(readFile(font + "/193"), "3,4\r\n") << "saved beside the letters it came with";
}

}  // namespace
