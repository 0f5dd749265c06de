// A write that fails must lose nothing: the earlier file stays byte for byte,
// no temporary file is left, and the caller gets a named error.
#include <gtest/gtest.h>

#include <QDir>
#include <cerrno>

#include "SmallDisk.h"
#include "TestSupport.h"
#include "gcode/GCodeWriter.h"
#include "lib/TextFile.h"
#include "lib/VezorError.h"
#include "lib/Win1251.h"

// Network and FUSE file systems may refuse the final disk sync after taking
// every byte; this test binary is linked with the sync wrapped (CMakeLists.txt).
#ifndef _WIN32
namespace {
bool g_syncFails = false;
}
extern "C" int __real_fsync(int fd);
extern "C" int __wrap_fsync(int fd) {
    if (!g_syncFails) return __real_fsync(fd);
    errno = EIO;
    return -1;
}
#endif

namespace {

#define REQUIRE_DISK(disk) \
    if (!(disk).mounted()) GTEST_SKIP() << "cannot mount a tmpfs here (needs root)"

TEST(FailedWrites, FullDiskKeepsTheEarlierFileAndLeavesNoTemporary) {
    SmallDisk disk;
    REQUIRE_DISK(disk);
    const std::string target = disk.path() + "/out.gcode";
    textfile::writeAtomically(target, "old content\r\n");
    disk.fill();
    EXPECT_THROW(textfile::writeAtomically(target, std::string(200000, 'G')), FileWriteError);
    EXPECT_EQ(readFile(target), "old content\r\n");
    EXPECT_EQ(disk.listing(), "filler,out.gcode");
}

TEST(FailedWrites, ReadOnlyDiskAndInvalidNamesAreReported) {
    SmallDisk disk;
    REQUIRE_DISK(disk);
    const std::string target = disk.path() + "/letter";
    textfile::writeAtomically(target, "1,2\r\n");
    ASSERT_TRUE(disk.makeReadOnly());
    EXPECT_THROW(textfile::writeAtomically(target, "3,4\r\n"), FileWriteError);
    EXPECT_EQ(readFile(target), "1,2\r\n");
    EXPECT_EQ(disk.listing(), "letter");
}

TEST(FailedWrites, MissingFolderAndFolderTargetAreReported) {
    const std::string base = testProgramFolder();
    EXPECT_THROW(textfile::writeAtomically(base + "/no/such/folder/x.txt", "x"), FileWriteError);
    EXPECT_THROW(textfile::writeAtomically(base, "x"), FileWriteError);
    try {
        textfile::writeAtomically(base + "/no/x.txt", "x");
    } catch (const FileWriteError& e) {
        EXPECT_NE(e.message().find("x.txt"), std::string::npos) << "the message names the file";
        EXPECT_TRUE(e.message().ends_with(cp(": папки ") + base + cp("/no нет")))
            << "and the folder that is not there";
    }
}

#ifndef _WIN32
TEST(FailedWrites, FailedDiskSyncKeepsTheEarlierFileAndLeavesNoTemporary) {
    const std::string folder = testProgramFolder() + "/sync";
    const std::string target = folder + "/65";
    writeFile(target, "1,2\r\n");
    g_syncFails = true;
    EXPECT_THROW(textfile::writeAtomically(target, "3,4\r\n"), FileWriteError);
    g_syncFails = false;
    EXPECT_EQ(readFile(target), "1,2\r\n");
    EXPECT_EQ(QDir(QString::fromStdString(folder))
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"65"});

    // The same for a G-code file made block by block.
    const std::string program = folder + "/plate.gcode";
    writeFile(program, "old program\r\n");
    PenPoints points;
    points.append(PenPoint{1, -1, 0}, "");
    points.append(PenPoint{0, 0, 15}, "");
    g_syncFails = true;
    EXPECT_THROW(WriteGCodeFile(program, points, "500.00", DefaultProfile()), FileWriteError);
    g_syncFails = false;
    EXPECT_EQ(readFile(program), "old program\r\n");
    EXPECT_EQ(QDir(QString::fromStdString(folder))
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"65", "plate.gcode"}));
}
#endif

}  // namespace
