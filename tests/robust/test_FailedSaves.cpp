// Every file the program writes (G-code, letters, project templates, page
// rewrites) goes through a failure the same way: on a read-only disk, a full
// disk or under a name that cannot be, the user gets the program's message
// (a library caller the named error), the earlier file keeps every byte and no
// temporary file is left beside it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include "../main/TestFont.h"
#include "SmallDisk.h"
#include "TestSupport.h"
#include "font/FontStorage.h"
#include "fonteditor/ui/frmFontPaint.h"
#include "gcode/GCodeWriter.h"
#include "lib/MachiningSettings.h"
#include "lib/ProgramFolder.h"
#include "lib/VezorError.h"
#include "lib/Win1251.h"
#include "lib/cls_PropertyHTML.h"
#include "lib/ui/QtText.h"
#include "main/Layout.h"
#include "main/ProjectFile.h"
#include "main/ui/frmGCode.h"

namespace {

#define REQUIRE_DISK(disk) \
    if (!(disk).mounted()) GTEST_SKIP() << "cannot mount a tmpfs here (needs root)"

enum class Failure { ReadOnly, Full };
constexpr Failure kFailures[] = {Failure::ReadOnly, Failure::Full};

const char* nameOf(Failure failure) { return failure == Failure::ReadOnly ? "read-only" : "full"; }

// Breaks the disk and returns the listing it must keep: what was there, and
// on a full disk the filler.
std::string breakDisk(SmallDisk& disk, Failure failure) {
    if (failure == Failure::ReadOnly) {
        EXPECT_TRUE(disk.makeReadOnly());
    } else {
        disk.fill();
    }
    return disk.listing();
}

// A name no file system here takes: longer than a file name may be.
std::string tooLongName(const std::string& extension) { return std::string(300, 'n') + extension; }

const std::string kCaption = "VEzor из текста";

void expectErrorMessage(const ScriptedDialogs::Call& call, const std::string& title) {
    EXPECT_EQ(call.kind, "message");
    EXPECT_EQ(call.title, title);
    EXPECT_EQ(call.icon, Dialogs::Icon::Error);
    EXPECT_TRUE(win1251::toUtf8(call.text).starts_with("Не удалось записать файл"))
        << win1251::toUtf8(call.text);
}

// Confirms the file chooser on a folder, as a user does.
void answerChooser(const std::string& folder) {
    testDialogs().fileAnswers.push_back(FileChoice{folder, "", 1});
}

// --- G-code files ------------------------------------------------------------

// A laid-out one-line project, as the save command finds it.
std::shared_ptr<PenPoints> laidOutPoints() {
    writeTestFont();
    Project project;
    project.LineSpacing = 5;
    project.FieldWidth = 100;
    project.LetterHeight = 4.4;
    project.WidthFactor = 0.75;
    project.ProjectLines.Add(ProjectLine{"AB CD", {}, {}, {}, {}});
    return LayOutProject(project, kTestFont, MachiningSettings{}).points;
}

TEST(FailedSaves, GCodeWriterKeepsTheEarlierProgram) {
    const std::string program = BuildGCodeProgram(*laidOutPoints(), "500.00");
    for (Failure failure : kFailures) {
        SCOPED_TRACE(nameOf(failure));
        SmallDisk disk;
        REQUIRE_DISK(disk);
        const std::string target = disk.path() + "/plate.gcode";
        WriteGCodeFile(target, "T1M6\r\nM30\r\n");
        const std::string listing = breakDisk(disk, failure);
        EXPECT_THROW(WriteGCodeFile(target, program), FileWriteError);
        EXPECT_THROW(WriteGCodeFile(disk.path() + "/new.gcode", program), FileWriteError);
        EXPECT_EQ(readFile(target), "T1M6\r\nM30\r\n");
        EXPECT_EQ(disk.listing(), listing);
    }
    EXPECT_THROW(WriteGCodeFile(joinPath(testProgramFolder(), tooLongName(".gcode")), program),
                 FileWriteError);
}

TEST(FailedSaves, SaveCommandReportsEveryFailureAndKeepsTheEarlierProgram) {
    const auto points = laidOutPoints();
    frmGCode window(testSession());
    for (Failure failure : kFailures) {
        SCOPED_TRACE(nameOf(failure));
        SmallDisk disk;
        REQUIRE_DISK(disk);
        setProgramFolder(disk.path());
        window.project().ProjectPath = disk.path() + "/plate.txt";
        testSession().penPoints() = points;
        writeFile(disk.path() + "/plate.gcode", "earlier\r\n");
        const std::string listing = breakDisk(disk, failure);

        for (const std::string answer : {"plate.gcode", "other.gcode"}) {
            testDialogs().reset();
            testDialogs().inputAnswers = {answer};
            window.cmdSaveGCODE_Click();
            ASSERT_EQ(testDialogs().calls.size(), 2u);
            expectErrorMessage(testDialogs().calls[1], w(kCaption));
        }
        EXPECT_EQ(readFile(disk.path() + "/plate.gcode"), "earlier\r\n");
        EXPECT_EQ(disk.listing(), listing);
    }

    // Names that cannot be: too long, in a folder that is not there, a folder.
    setProgramFolder(testProgramFolder());
    window.project().ProjectPath = joinPath(testProgramFolder(), "plate.txt");
    writeFile(joinPath(testProgramFolder(), "sub/keep"), "");
    for (const std::string& answer :
         {tooLongName(".gcode"), std::string("gone/plate.gcode"), std::string("sub")}) {
        testDialogs().reset();
        testDialogs().inputAnswers = {answer};
        window.cmdSaveGCODE_Click();
        ASSERT_EQ(testDialogs().calls.size(), 2u) << answer;
        expectErrorMessage(testDialogs().calls[1], w(kCaption));
    }
}

// --- Letter files ------------------------------------------------------------

TEST(FailedSaves, LetterWriterKeepsTheEarlierLetter) {
    for (Failure failure : kFailures) {
        SCOPED_TRACE(nameOf(failure));
        SmallDisk disk;
        REQUIRE_DISK(disk);
        WriteLetterFile(disk.path() + "/65", {"1,1", "2,2"});
        const std::string listing = breakDisk(disk, failure);
        EXPECT_THROW(WriteLetterFile(disk.path() + "/65", {"3,3"}), FileWriteError);
        EXPECT_THROW(WriteLetterFile(disk.path() + "/66", {"3,3"}), FileWriteError);
        EXPECT_EQ(readFile(disk.path() + "/65"), "1,1\r\n2,2\r\n");
        EXPECT_EQ(disk.listing(), listing);
    }
    // A font folder that is gone, or whose path is too long to exist.
    EXPECT_THROW(WriteLetterFile(LetterFilePath("font/Gone", 65), {"1,1"}), FileWriteError);
    EXPECT_THROW(WriteLetterFile(LetterFilePath("font/" + tooLongName(""), 65), {"1,1"}),
                 FileWriteError);
}

TEST(FailedSaves, FontEditorReportsAFailedSaveAndKeepsTheLetter) {
    for (Failure failure : kFailures) {
        SCOPED_TRACE(nameOf(failure));
        SmallDisk disk;
        REQUIRE_DISK(disk);
        const std::string font = disk.path() + "/F";
        writeFile(font + "/65", "1,1\r\n");
        testSession().CurrentFont() = font;
        frmFontPaint editor(testSession());
        const std::string title = fromQ(editor.windowTitle());
        editor.selectMode(1);
        editor.picMask_MouseDown(Qt::LeftButton, 30, 40);
        ASSERT_EQ(editor.letter().points.size(), 2u);
        breakDisk(disk, failure);

        testDialogs().reset();
        editor.cmdSavePoint_Click();
        ASSERT_EQ(testDialogs().calls.size(), 1u);
        expectErrorMessage(testDialogs().calls[0], title);
        EXPECT_EQ(editor.status().toStdString().find("сохранена"), std::string::npos);

        // Saved as another letter: asked for the letter, then told it failed.
        testDialogs().reset();
        testDialogs().inputAnswers = {"Z"};
        editor.mnuLiterAs_Click();
        ASSERT_EQ(testDialogs().calls.size(), 2u);
        expectErrorMessage(testDialogs().calls[1], title);

        EXPECT_EQ(readFile(font + "/65"), "1,1\r\n");
        EXPECT_EQ(ListFontLetters(font), std::vector<int>{65}) << "no new letter, no temporary";
        EXPECT_EQ(editor.letter().points.size(), 2u) << "the unsaved point is still there";
    }
}

// --- Project templates -------------------------------------------------------

TEST(FailedSaves, ProjectTemplateKeepsTheEarlierProject) {
    for (Failure failure : kFailures) {
        SCOPED_TRACE(nameOf(failure));
        SmallDisk disk;
        REQUIRE_DISK(disk);
        writeFile(disk.path() + "/plate.txt", "1//\r\n2//\r\n3//\r\n4//\r\nmine\r\n");
        const std::string listing = breakDisk(disk, failure);
        EXPECT_THROW(WriteProjectTemplate(disk.path() + "/plate.txt"), FileWriteError);
        EXPECT_THROW(WriteProjectTemplate(disk.path() + "/NewProject.txt"), FileWriteError);
        EXPECT_EQ(readFile(disk.path() + "/plate.txt"), "1//\r\n2//\r\n3//\r\n4//\r\nmine\r\n");
        EXPECT_EQ(disk.listing(), listing);
    }
    EXPECT_THROW(WriteProjectTemplate(joinPath(testProgramFolder(), tooLongName(".txt"))),
                 FileWriteError);
}

TEST(FailedSaves, NewProjectCommandReportsAFailedWrite) {
    frmGCode window(testSession());
    for (Failure failure : kFailures) {
        SCOPED_TRACE(nameOf(failure));
        SmallDisk disk;
        REQUIRE_DISK(disk);
        writeFile(disk.path() + "/plate.txt", "mine\r\n");
        const std::string listing = breakDisk(disk, failure);
        testDialogs().reset();
        testDialogs().inputAnswers = {"plate.txt"};
        testDialogs().questionAnswers = {true};  // replace it
        answerChooser(disk.path());
        window.mnuNewProject_Click();
        ASSERT_EQ(testDialogs().calls.size(), 3u);
        EXPECT_EQ(testDialogs().calls[1].kind, "question");
        expectErrorMessage(testDialogs().calls[2], w(kCaption));
        EXPECT_EQ(readFile(disk.path() + "/plate.txt"), "mine\r\n");
        EXPECT_EQ(disk.listing(), listing);
    }

    testDialogs().reset();
    testDialogs().inputAnswers = {tooLongName(".txt")};
    answerChooser(testProgramFolder());
    window.mnuNewProject_Click();
    ASSERT_EQ(testDialogs().calls.size(), 2u);
    expectErrorMessage(testDialogs().calls[1], w(kCaption));
}

// --- Page rewrites -----------------------------------------------------------

const std::string kPage =
    "<html>\r\n<head>\r\n<!--Metka=one-->\r\n<title>Old</title>\r\n"
    "<bgsound src=\"s.mid\" loop=\"0\" "
    ">\r\n</head>\r\n<body>\r\n<p>x</p>\r\n</body>\r\n</html>\r\n";

TEST(FailedSaves, PageRewritesKeepThePage) {
    for (Failure failure : kFailures) {
        SCOPED_TRACE(nameOf(failure));
        SmallDisk disk;
        REQUIRE_DISK(disk);
        writeFile(disk.path() + "/page.htm", kPage);
        cls_PropertyHTML page;
        page.Load("@" + disk.path() + "/page.htm");
        ASSERT_TRUE(page.FailHTMLLoad());
        const std::string listing = breakDisk(disk, failure);

        int x = 0;
        int y = 0;
        std::string java = "a.htm";
        std::string title;
        std::string text;
        Collection<std::string> marks;
        marks.Add("two");
        EXPECT_THROW(page.setTitul("New"), PageFileError);
        EXPECT_THROW(page.setSound("n.mid"), PageFileError);
        EXPECT_THROW(page.SoundDel(), PageFileError);
        EXPECT_THROW(page.InsertFlash("m.swf", x, y), PageFileError);
        EXPECT_THROW(page.InsertImage("p.gif"), PageFileError);
        EXPECT_THROW(page.InsertJava(java, x, y), PageFileError);
        EXPECT_THROW(page.MetkaDel("one"), PageFileError);
        EXPECT_THROW(page.MetkaAdd(marks), PageFileError);
        EXPECT_THROW(page.NewPageHTML("@" + disk.path() + "/page.htm", title, text), PageFileError);
        EXPECT_THROW(page.NewPageHTML("@" + disk.path() + "/new.htm", title, text), PageFileError);
        EXPECT_EQ(readFile(disk.path() + "/page.htm"), kPage);
        EXPECT_EQ(disk.listing(), listing);
        EXPECT_TRUE(testDialogs().calls.empty()) << "the library leaves the telling to its caller";
    }

    cls_PropertyHTML page;
    std::string title = "T";
    std::string text = "x";
    EXPECT_THROW(page.NewPageHTML(tooLongName(".htm"), title, text), PageFileError);
    EXPECT_THROW(page.NewPageHTML("gone/new.htm", title, text), PageFileError);
}

}  // namespace
