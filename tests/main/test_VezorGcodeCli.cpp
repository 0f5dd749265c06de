// vezor-gcode run as the user runs it, against what the main window saves.
#include <gtest/gtest.h>

#include <filesystem>

#include "TestFont.h"
#include "TestSupport.h"
#include "ToolRun.h"
#include "gcode/GCodeWriter.h"
#include "lib/MachiningSettings.h"
#include "lib/TextFile.h"
#include "main/Layout.h"
#include "main/ProjectFile.h"
// Built without widgets, the comparison with the window is left out.
#ifdef QT_WIDGETS_LIB
#include "main/ui/frmGCode.h"
#endif

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

class VezorGcodeCli : public ::testing::Test {
  protected:
    void SetUp() override {
        font = writeTestFont();
        std::filesystem::create_directories(joinPath(testProgramFolder(), "Projects"));
    }
    std::string project(const std::string& text) {
        const std::string path = joinPath(testProgramFolder(), "Projects/plate.txt");
        writeFile(path, "4.97//a\r\n100//b\r\n4.4//c\r\n0.75//d\r\n" + text);
        return path;
    }
#ifdef QT_WIDGETS_LIB
    // What the main window writes for the project with the test font.
    std::string savedByTheWindow(const std::string& path) {
        frmGCode window(testSession());
        window.Form_Load();
        window.project().ProjectPath = path;
        window.LoadProject(path);
        testDialogs().reset();
        testDialogs().inputAnswers = {"saved.gcode"};
        window.cmdSaveGCODE_Click();
        EXPECT_EQ(testDialogs().messagesUtf8(),
                  std::vector<std::string>{"G-Code записаны в файл " +
                                           joinPath(testProgramFolder(), "Projects/saved.gcode")});
        return readFile(joinPath(testProgramFolder(), "Projects/saved.gcode"));
    }
#endif

    std::string font;
};

#ifdef QT_WIDGETS_LIB
TEST_F(VezorGcodeCli, WritesWhatTheWindowSaves) {
    const std::string path = joinPath(testProgramFolder(), "Projects/plate.txt");
    WriteProjectTemplate(path);
    const std::string expected = savedByTheWindow(path);
    ASSERT_GT(expected.size(), 1000u);

    Outcome r = vezorGcode({"--font", q(font), q(path)});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(r.out == expected) << "standard output differs from the saved file";

    const std::string out = joinPath(testProgramFolder(), "cli.gcode");
    r = vezorGcode({"--out", q(out), "--font=" + q(font), q(path)});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(readFile(out) == expected);

    r = vezorGcode({"--out", "-", "--font", q(font), q(path)});
    EXPECT_TRUE(r.out == expected);
}

TEST_F(VezorGcodeCli, SettingsFromTheCommandLineAndTheStore) {
    const std::string path = project("A B.C\r\n");
    testSession().machiningSettings().SkorF = "750.00";
    testSession().machiningSettings().NoRazriv = 1;
    testSession().machiningSettings().ZBezopS = 20;
    const std::string expected = savedByTheWindow(path);

    // ZBezopS comes from the store; the store is read but never written.
    const std::string store = joinPath(configFolder(), "VEzor/VEzor.conf");
    writeFile(store, "[Shrift]\nZBezopS=20\nSkorF=100\n");
    Outcome r = vezorGcode(
        {"--setting", "SkorF=750.00", "--setting=NoRazriv=1", "--font", q(font), q(path)});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out == expected);
    EXPECT_EQ(readFile(store), "[Shrift]\nZBezopS=20\nSkorF=100\n");

    std::filesystem::remove(store);
    r = vezorGcode({"--setting", "ZBezop=7", "--font", q(font), q(path)});
    EXPECT_NE(r.out.find("G0Z7.00\r\n"), std::string::npos);
    EXPECT_NE(r.out.find("G0Z15.00\r\nG1Z0.000F500.00\r\n"), std::string::npos) << "defaults";
    EXPECT_FALSE(textfile::isFile(store)) << "a missing setting is not written back";
}
#endif

// The tool reads the store as the window does: a feed with a line break would
// put a line of its own after every plunge.
TEST_F(VezorGcodeCli, AFeedWithALineBreakIsRefusedFromTheStoreAndTheCommandLine) {
    const std::string path = project("A\r\n");
    Outcome r;
#ifndef _WIN32  // On Windows the store is the user's registry, shared by the tests running.
    const std::string store = joinPath(configFolder(), "VEzor/VEzor.conf");
    writeFile(store, "[Shrift]\nSkorF=500\\nM5\n");
    r = vezorGcode({"--font", q(font), q(path)});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find("M5"), std::string::npos);
    EXPECT_NE(r.out.find("G1Z0.000F500.00\r\n"), std::string::npos);
    EXPECT_NE(r.err.find("SkorF: Линейная скорость перемещения не задана"), std::string::npos)
        << r.err;
    EXPECT_EQ(readFile(store), "[Shrift]\nSkorF=500\\nM5\n") << "the store is not written";

    std::filesystem::remove(store);
#endif
    r = vezorGcode({"--setting", "SkorF=500\nM5", "--font", q(font), q(path)});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
}

TEST_F(VezorGcodeCli, ProfilesAndMachiningFigures) {
    Outcome r = vezorGcode({"--list-profiles"});
    EXPECT_EQ(r.out, "VEzor\nGRBL\nLinuxCNC\nMach3\nServo pen\nLaser\n");

    const std::string path = project("W W\r\n");
    r = vezorGcode({"--font", q(font), "--profile", "grbl", q(path)});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.starts_with("(writing_mm ")) << r.out;
    EXPECT_NE(r.out.find("\nG21G90G17\n"), std::string::npos);
    r = vezorGcode({"--font", q(font), "--profile", "Fanuc", q(path)});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");

    // The figures of a project and of the program written for it agree.
    r = vezorGcode({"--font", q(font), "--estimate", "--profile=GRBL", q(path)});
    EXPECT_EQ(r.status, 0) << r.err;
    const auto lines = textfile::splitLines(r.out);
    ASSERT_EQ(lines.size(), 4u) << r.out;
    EXPECT_TRUE(lines[0].starts_with("writing_mm ") && lines[1].starts_with("travel_mm ") &&
                lines[2] == "lifts 2" && lines[3].starts_with("seconds "))
        << r.out;
    const std::string written = joinPath(testProgramFolder(), "a.nc");
    ASSERT_EQ(
        vezorGcode({"--font", q(font), "--profile=GRBL", "--out", q(written), q(path)}).status, 0);
    EXPECT_EQ(vezorGcode({"--estimate", "--check", q(written)}).out, r.out);
}

TEST_F(VezorGcodeCli, NotAProjectExitsWith2AndWritesNothing) {
    const std::string bad = joinPath(testProgramFolder(), "bad.txt");
    writeFile(bad, "just some text\r\n");
    const std::string out = joinPath(testProgramFolder(), "out.gcode");
    Outcome r = vezorGcode({"--font", q(font), "--out", q(out), q(bad)});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err,
              "Файл не является проектом\nВ нём меньше четырёх строк параметров "
              "(«значение//комментарий»): строк 1.\n");
    EXPECT_FALSE(textfile::isFile(out));

    r = vezorGcode({"--font", q(font), q(joinPath(testProgramFolder(), "missing.txt"))});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
}

TEST_F(VezorGcodeCli, MissingLettersExitWith3AfterWriting) {
    const std::string path = project("A~B~\r\n");
    const Outcome r = vezorGcode({"--font", q(font), q(path)});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "Буква '~' не найдена: 2 раза\n") << "each letter once, with its count";
    EXPECT_TRUE(r.out.starts_with("T1M6\r\n"));
    EXPECT_TRUE(r.out.ends_with("M30\r\n\r\n\r\n\r\n"));
}

TEST_F(VezorGcodeCli, CharactersOutsideWindows1251AreMissingLettersListedOnceEach) {
    const Outcome r = vezorGcode({"--font", q(font), q(project("Ωλ~☺ï你~Ω A\r\n"))});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err,
              "Буква 'Ω' (U+03A9) не найдена: 2 раза\nБуква 'λ' (U+03BB) не найдена: 1 раз\n"
              "Буква '~' не найдена: 2 раза\nБуква '☺' (U+263A) не найдена: 1 раз\n"
              "Буква 'ï' (U+00EF) не найдена: 1 раз\nБуква '你' (U+4F60) не найдена: 1 раз\n");
    // Only the A is written: one drawing point, no «?».
    std::size_t drawn = 0;
    for (std::size_t at = r.out.find("G1X"); at != std::string::npos;
         at = r.out.find("G1X", at + 1))
        ++drawn;
    EXPECT_EQ(drawn, 1u);
}

// Breaks inside letters: off for VEzor, on for every other profile, unless set.
TEST_F(VezorGcodeCli, BreaksInsideLettersFollowTheProfileUnlessSet) {
    writeFile(joinPath(font, "66"), "10,10\r\n60,60\r\n0,0\r\n10,90\r\n");
    const std::string path = project("B\r\n");
    const auto run = [&](const char* profile, const char* breaks) {
        QStringList args{"--font", q(font), "--profile", profile};
        if (breaks) args << "--setting" << QString("RazrivVBukve=") + breaks;
        const Outcome r = vezorGcode(args << q(path));
        EXPECT_EQ(r.status, 0) << r.err;
        return r.out;
    };
    EXPECT_EQ(run("VEzor", nullptr), run("VEzor", "0"));
    EXPECT_NE(run("VEzor", nullptr), run("VEzor", "1"));
    EXPECT_EQ(run("GRBL", nullptr), run("GRBL", "1"));
    EXPECT_NE(run("GRBL", nullptr), run("GRBL", "0"));
}

TEST_F(VezorGcodeCli, FontsByRelativePathAndTheDefault) {
    // A project without letters needs no font at all (and has nothing to write).
    const std::string spaces = project("   \r\n");
    Outcome r = vezorGcode({q(spaces)});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Нет перемещений для записи: G-code не записан\n");
    EXPECT_EQ(r.out, "");

    r = vezorGcode({"--font", "font/no such font", q(project("A\r\n"))});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no such font folder"), std::string::npos);

    // A relative path is a folder below the current one first, then below the program's.
    const std::string plate = project("A\r\n");
    r = vezorGcode({"--font", kTestFont, q(plate)}, testProgramFolder());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, vezorGcode({"--font", q(font), q(plate)}).out);
    r = vezorGcode({"--font", "./font/../font/T", q(plate)}, testProgramFolder());
    EXPECT_EQ(r.status, 0) << r.err;
    r = vezorGcode({"--font", "font/A-Chertezh", q(plate)}, testProgramFolder());
    EXPECT_EQ(r.status, 0) << "a shipped font below the program folder: " << r.err;

    r = vezorGcode({"--list-fonts"});
    EXPECT_EQ(r.status, 0);
    for (const auto& line : textfile::splitLines(r.out)) EXPECT_TRUE(line.starts_with("font/"));
}

TEST_F(VezorGcodeCli, UsageAndBadCommandLines) {
    Outcome r = vezorGcode({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.starts_with("Usage: vezor-gcode"));

    for (const QStringList& args :
         {QStringList{}, QStringList{"--bogus", "p.txt"}, QStringList{"a.txt", "b.txt"},
          QStringList{"--font"}, QStringList{"--setting", "Nothing=1", "p.txt"},
          QStringList{"--setting", "novalue", "p.txt"}}) {
        r = vezorGcode(args);
        EXPECT_EQ(r.status, 1) << args.join(' ').toStdString();
        EXPECT_EQ(r.out, "");
    }
    r = vezorGcode({"--setting", "ZBezop=high", "--font", q(font), q(project("A\r\n"))});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("ZBezop"), std::string::npos);
}

}  // namespace
