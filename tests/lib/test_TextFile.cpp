#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "TestSupport.h"
#include "lib/TextFile.h"
#include "lib/VezorError.h"

namespace {

using Lines = std::vector<std::string>;

TEST(Lines, SplitAtAnyLineEndAndJoinWithCrLf) {
    EXPECT_EQ(textfile::splitLines("a\r\nb\rc\nd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(textfile::splitLines("a\r\n"), (Lines{"a"})) << "no extra empty last line";
    EXPECT_EQ(textfile::splitLines("a\n\r\nb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(textfile::splitLines("a\r\r\n"), (Lines{"a", ""}));
    EXPECT_EQ(textfile::splitLines("\n"), (Lines{""}));
    EXPECT_EQ(textfile::splitLines(""), Lines{});
    EXPECT_EQ(textfile::splitLines(std::string("x\0y\n", 4)), (Lines{std::string("x\0y", 3)}));

    EXPECT_EQ(textfile::joinCrLf({"a", "", "b"}), "a\r\n\r\nb\r\n");
    EXPECT_EQ(textfile::joinCrLf({}), "");
    const Lines lines{"10 20", "", w("Ёж"), "x"};
    EXPECT_EQ(textfile::splitLines(textfile::joinCrLf(lines)), lines);
}

TEST(ReadBytes, WholeFileAsIsOrANamedError) {
    const std::string folder = testProgramFolder();
    std::string bytes;
    for (int i = 0; i < 200000; ++i) bytes += static_cast<char>(i % 256);
    writeFile(folder + "/bin", bytes);
    EXPECT_EQ(textfile::readBytes(folder + "/bin"), bytes) << "longer than one read buffer";
    writeFile(folder + "/empty", "");
    EXPECT_EQ(textfile::readBytes(folder + "/empty"), "");

    const std::string missing = folder + "/нет.txt";
    try {
        textfile::readBytes(missing);
        ADD_FAILURE() << "a missing file was read";
    } catch (const FileReadError& e) {
        EXPECT_NE(e.message().find(w("нет.txt")), std::string::npos) << "names the file";
    }
    EXPECT_THROW(textfile::readBytes(folder), FileReadError);
}

TEST(WriteAtomically, ReplacesTheWholeFileAndLeavesNothingElse) {
    const std::string folder = testProgramFolder() + "/out";
    QDir().mkpath(QString::fromStdString(folder));
    const std::string target = folder + "/Ёж.gcode";
    textfile::writeAtomically(target, std::string("long old content\r\n", 18));
    textfile::writeAtomically(target, std::string("new\0\xFF", 5));
    EXPECT_EQ(readFile(target), std::string("new\0\xFF", 5));
    textfile::writeAtomically(target, "");
    EXPECT_EQ(readFile(target), "");
    EXPECT_EQ(QDir(QString::fromStdString(folder))
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QString::fromUtf8("Ёж.gcode")});

    EXPECT_TRUE(textfile::isFile(target));
    EXPECT_FALSE(textfile::isDirectory(target));
    EXPECT_TRUE(textfile::isDirectory(folder));
    EXPECT_FALSE(textfile::isFile(folder));
    EXPECT_FALSE(textfile::isFile(folder + "/missing"));
}

TEST(WriteAtomically, WritesThroughALinkAndKeepsPermissions) {
#ifdef _WIN32
    GTEST_SKIP() << "QFile::link makes a shell shortcut on Windows; owner/group rights are POSIX";
#endif
    const std::string folder = testProgramFolder();
    writeFile(folder + "/real.txt", "old");
    QFile real(QString::fromStdString(folder + "/real.txt"));
    ASSERT_TRUE(real.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    ASSERT_TRUE(QFile::link(QString::fromStdString(folder + "/real.txt"),
                            QString::fromStdString(folder + "/link.txt")));
    textfile::writeAtomically(folder + "/link.txt", "new");
    EXPECT_TRUE(QFileInfo(QString::fromStdString(folder + "/link.txt")).isSymLink());
    EXPECT_EQ(readFile(folder + "/real.txt"), "new");
    EXPECT_EQ(QFile(QString::fromStdString(folder + "/real.txt")).permissions() &
                  (QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
}

}  // namespace
