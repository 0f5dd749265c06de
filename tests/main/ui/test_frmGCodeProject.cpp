#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <functional>

#include "../TestFont.h"
#include "TestSupport.h"
#include "gcode/GCodeEstimate.h"
#include "gcode/GCodeWriter.h"
#include "lib/FileChoice.h"
#include "lib/MachiningSettings.h"
#include "lib/NumberText.h"
#include "lib/TextFile.h"
#include "lib/Win1251.h"
#include "main/FiguresText.h"
#include "main/ProjectFile.h"
#include "main/ui/PenPointsListModel.h"
#include "main/ui/frmGCode.h"

namespace {

const std::string kCaption = "VEzor из текста";

// Answers the file chooser the way a user does: the folder and the file (if
// any) with OK, or closing the chooser when folder is empty.
void answerChooser(const std::string& folder, const std::string& file) {
    testDialogs().fileAnswers.push_back(FileChoice{folder, file, folder.empty() ? 0 : 1});
}

class frmGCodeProjectTest : public ::testing::Test {
  protected:
    void SetUp() override {
        writeTestFont();
        window = std::make_unique<frmGCode>(testSession());
        window->Form_Load();
        projects = joinPath(testProgramFolder(), "Projects");
    }
    void TearDown() override { window.reset(); }

    std::string project(const std::string& name, const std::string& bytes) {
        const std::string path = joinPath(projects, name);
        writeFile(path, bytes);
        return path;
    }
    void load(const std::string& path) {
        window->project().ProjectPath = path;
        window->LoadProject(path);
    }
    std::string shownText() const { return fromQ(window->txtPaint->toPlainText()); }
    static std::string fromQ(const QString& s) { return w(s.toStdString()); }

    std::unique_ptr<frmGCode> window;
    std::string projects;
};

const std::string kParameters = "12//a\r\n80//b\r\n10//c\r\n0.5//d\r\n";

TEST_F(frmGCodeProjectTest, LoadingLaysOutAndFillsTheWindow) {
    ASSERT_EQ(window->cboShrift->currentText(), QStringLiteral("font/T"));
    std::filesystem::create_directories(projects);
    const std::string path = joinPath(projects, "plate.txt");
    WriteProjectTemplate(path);
    load(path);

    EXPECT_TRUE(testDialogs().calls.empty()) << testDialogs().messagesUtf8().size();
    EXPECT_EQ(shownText(), w("Текст после тэга будет на расстоянии 50мм\n\nот левого края<@XXX=50>"
                             "Этот текст на 50мм\nПустая строка пропускается"))
        << "the lines as written, tags and all, for editing";
    EXPECT_EQ(window->project().ProjectLines.Count(), 4u);
    EXPECT_EQ(window->project().FieldWidth, 100);
    EXPECT_EQ(window->spsModel->shown(), testSession().penPoints());
    EXPECT_EQ(window->spsModel->rowCount(), static_cast<int>(testSession().penPoints()->count()));
    EXPECT_EQ(window->spsModel->data(window->spsModel->index(1)).toString(),
              QStringLiteral("G1X1.65Y-4.4"));
    EXPECT_EQ(testSession().viewBounds(), (ViewBounds{0, -100, 100, 0}));
    EXPECT_TRUE(window->cmdPaint->isEnabled());
    EXPECT_TRUE(window->cmdSaveGCODE->isEnabled());
    window->show();
    saveScreenshot(window.get(), "frmGCode_template_loaded");
}

TEST_F(frmGCodeProjectTest, MissingLettersAreShownOneByOneWithoutATitle) {
    load(project("p.txt", kParameters + "~A~\r\n"));
    ASSERT_EQ(testDialogs().calls.size(), 2u);
    for (const auto& call : testDialogs().calls) {
        EXPECT_EQ(call.text, w("Буква '~' не найдена"));
        EXPECT_EQ(call.title, "");
    }
    EXPECT_TRUE(window->cmdSaveGCODE->isEnabled()) << "the layout still finished";
}

TEST_F(frmGCodeProjectTest, MissingLettersCanBeSkippedForOneSummary) {
    std::filesystem::remove(joinPath(testProgramFolder(), "font/T/35"));
    testDialogs().skipAnswers = {false, true};
    load(project("p.txt", kParameters + "~#A~\r\n#~\r\n"));
    const auto& calls = testDialogs().calls;
    ASSERT_EQ(calls.size(), 3u) << "two boxes, then the summary";
    for (std::size_t i : {0u, 1u}) {
        EXPECT_EQ(calls[i].kind, "messageOrSkip");
        EXPECT_EQ(calls[i].defaultText, w("Пропустить остальные"));
    }
    EXPECT_EQ(calls[1].text, w("Буква '#' не найдена"));
    EXPECT_EQ(calls[2].kind, "message");
    EXPECT_EQ(calls[2].title, "");
    EXPECT_EQ(calls[2].text, w("Не найдено букв: 5 (разных: 2):\r\n'~', '#'"));

    // A character Windows-1251 lacks is shown as itself, with its code.
    testDialogs().reset();
    testDialogs().skipAnswers = {true};
    load(project("omega.txt", kParameters + "AΩ\r\n"));
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].utf8, "Буква 'Ω' (U+03A9) не найдена");
    EXPECT_EQ(calls[1].utf8, "Не найдено букв: 1 (разных: 1):\r\n'Ω' (U+03A9)");
}

TEST_F(frmGCodeProjectTest, AFileThatIsNoProjectChangesNothing) {
    load(project("good.txt", kParameters + "AB\r\n"));
    const auto before = testSession().penPoints();
    const Project model = window->project();
    const std::string text = shownText();

    for (const std::string& bad : {project("bad.txt", "1//a\r\n2\r\n3//c\r\n4//d\r\nX\r\n"),
                                   projects + "/", joinPath(projects, "missing.txt")}) {
        testDialogs().reset();
        window->LoadProject(bad);
        ASSERT_EQ(testDialogs().calls.size(), 1u) << bad;
        // The reader says why where it can (here: line 2 has no "//").
        EXPECT_EQ(testDialogs().calls[0].text,
                  w(bad.ends_with("bad.txt")
                        ? "Файл не является проектом\r\nСтрока 2 не строка параметра: в ней нет "
                          "«//» («значение//комментарий»)."
                        : "Файл не является проектом"));
        EXPECT_EQ(testDialogs().calls[0].title, w(kCaption));
        EXPECT_EQ(testSession().penPoints(), before);
        EXPECT_EQ(window->project().FieldWidth, model.FieldWidth);
        EXPECT_EQ(window->project().ProjectLines, model.ProjectLines);
        EXPECT_EQ(shownText(), text);
    }
}

TEST_F(frmGCodeProjectTest, OpenChoosesLoadsAndEnablesReload) {
    const std::string path = project("plate.txt", kParameters + "AB\r\n");
    window->DrawLimit = 7;
    answerChooser(projects, "plate.txt");
    window->mnuOpenProject_Click();
    EXPECT_EQ(window->project().ProjectPath, path);
    EXPECT_EQ(window->DrawLimit, 0);
    EXPECT_EQ(window->DrawMode, DrawingMode::Project);
    EXPECT_TRUE(window->mnuReloadProject->isEnabled());
    EXPECT_TRUE(window->cmdReloadProject->isEnabled());
    EXPECT_EQ(testSession().penPoints()->count(), 4u);
    EXPECT_TRUE(testDialogs().calls.empty());
}

TEST_F(frmGCodeProjectTest, ReloadReadsTheFileAgain) {
    const std::string path = project("plate.txt", kParameters + "A\r\n");
    load(path);
    writeFile(path, kParameters + "A B\r\n");
    window->mnuReloadProject_Click();
    EXPECT_EQ(testSession().penPoints()->count(), 5u);
    EXPECT_EQ(shownText(), "A B");
}

TEST_F(frmGCodeProjectTest, NewProjectWritesTheTemplateAndBecomesTheCurrentProject) {
    const std::string old = project("old.txt", kParameters + "A\r\n");
    load(old);
    window->txtPaint->setPlainText(QStringLiteral("A B"));
    testDialogs().reset();
    testDialogs().threeWayAnswers = {Dialogs::Answer::Yes};
    testDialogs().inputAnswers = {w("Новый.txt")};
    answerChooser(projects, "");
    window->mnuNewProject_Click();
    EXPECT_EQ(readFile(old), kParameters + "A B\r\n") << "the edits went into their own file";
    ASSERT_EQ(testDialogs().calls.size(), 3u);
    testDialogs().calls.erase(testDialogs().calls.begin());  // the unsaved-edits question
    EXPECT_EQ(testDialogs().calls[0].kind, "input");
    EXPECT_EQ(testDialogs().calls[0].text, w("Введите имя файла проекта"));
    EXPECT_EQ(testDialogs().calls[0].title, w(kCaption));
    EXPECT_EQ(testDialogs().calls[0].defaultText, "NewProject.txt");
    EXPECT_EQ(testDialogs().calls[1].text,
              w("Новый проект записан, Вы можете его сразу загрузить"));
    EXPECT_EQ(readFile(joinPath(projects, "Новый.txt")),
              textfile::joinCrLf(ProjectTemplateLines()));
    EXPECT_EQ(window->project().ProjectPath, joinPath(projects, "Новый.txt"));
    EXPECT_EQ(window->project().ProjectLines.Count(), 4u) << "laid out at once";

    testDialogs().reset();
    window->cmdReloadProject_Click();
    EXPECT_EQ(window->project().ProjectLines.Count(), 4u);
    window->cmdSaveGCODE_Click();
    ASSERT_EQ(testDialogs().calls.size(), 1u) << testDialogs().messagesUtf8().size();
    EXPECT_EQ(testDialogs().calls[0].defaultText, w("Новый.gcode"));
}

TEST_F(frmGCodeProjectTest, NewProjectAsksBeforeReplacingAnExistingProject) {
    const std::string existing = project("plate.txt", kParameters + "A\r\n");
    answerChooser(projects, "");
    testDialogs().inputAnswers = {"plate.txt", "other.txt"};
    window->mnuNewProject_Click();  // No (the default): another name
    const auto& calls = testDialogs().calls;
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[1].kind, "question");
    EXPECT_EQ(calls[1].text, w("Файл «plate.txt» уже есть. Заменить его?"));
    EXPECT_EQ(calls[1].title, w(kCaption));
    EXPECT_EQ(calls[1].preferred, Dialogs::Answer::No);
    EXPECT_EQ(calls[2].kind, "input");
    EXPECT_EQ(calls[2].defaultText, "plate.txt");
    EXPECT_EQ(readFile(existing), kParameters + "A\r\n");
    EXPECT_EQ(readFile(joinPath(projects, "other.txt")),
              textfile::joinCrLf(ProjectTemplateLines()));

    testDialogs().reset();
    answerChooser(projects, "");
    testDialogs().inputAnswers = {"plate.txt"};
    testDialogs().questionAnswers = {true};
    window->mnuNewProject_Click();
    EXPECT_EQ(readFile(existing), textfile::joinCrLf(ProjectTemplateLines()));
    EXPECT_EQ(window->project().ProjectPath, existing);
}

// Content that is no laid-out project (a rejected file, a G-code file that was
// read) must neither become the project saved nor change how the project is drawn.
TEST_F(frmGCodeProjectTest, OpeningAFileThatIsNoProjectKeepsTheCurrentOne) {
    answerChooser(projects, "nothing.txt");
    project("nothing.txt", "no project\r\n");
    window->mnuOpenProject_Click();
    EXPECT_EQ(window->project().ProjectPath, "");
    EXPECT_FALSE(window->mnuReloadProject->isEnabled());

    const std::string plate = project("plate.txt", kParameters + "AB\r\n");
    answerChooser(projects, "plate.txt");
    window->mnuOpenProject_Click();
    window->DrawLimit = 2;
    testDialogs().reset();
    answerChooser(projects, "nothing.txt");
    window->mnuOpenProject_Click();
    EXPECT_EQ(testDialogs().messagesUtf8(),
              std::vector<std::string>{"Файл не является проектом\r\nВ нём меньше четырёх строк "
                                       "параметров («значение//комментарий»): строк 1."});
    EXPECT_EQ(window->project().ProjectPath, plate);
    EXPECT_EQ(window->DrawLimit, 2);
    EXPECT_EQ(window->DrawMode, DrawingMode::Project);

    testDialogs().reset();
    window->cmdSaveGCODE_Click();
    ASSERT_EQ(testDialogs().calls.size(), 1u);
    EXPECT_EQ(testDialogs().calls[0].defaultText, "plate.gcode");
}

TEST_F(frmGCodeProjectTest, AReadGCodeFileIsNotSavedAndReloadDrawsTheProjectAgain) {
    load(project("plate.txt", kParameters + "AB\r\n"));
    const std::string gcode = joinPath(projects, "plate.gcode");
    testDialogs().inputAnswers = {"plate.gcode"};
    window->cmdSaveGCODE_Click();
    const std::string program = readFile(gcode);
    ASSERT_FALSE(program.empty());

    writeFile(joinPath(projects, "broken.gcode"), "G1X1Y1\r\n(Text)\r\n");
    const std::vector<std::function<void()>> reads = {
        [&] { window->ReadGCodeFile(gcode); },
        [&] { window->ReadGCodeFile(joinPath(projects, "broken.gcode")); },
        [&] {
            answerChooser(projects, "");
            window->mnuOpenCode_Click();
        },
        [&] { window->ReadGCodeFile(joinPath(projects, "missing.gcode")); },
    };
    for (std::size_t i = 0; i < reads.size(); ++i) {
        reads[i]();
        if (i == 0) {
            testDialogs().reset();
            testDialogs().inputAnswers = {"plate.gcode"};
            window->cmdSaveGCODE_Click();
            ASSERT_EQ(testDialogs().calls.size(), 1u) << "no name asked";
            EXPECT_TRUE(testDialogs().messagesUtf8()[0].starts_with(
                "В списке прочитанный файл G-code, а не проект"));
            EXPECT_EQ(readFile(gcode), program);
        }
        if (i == 3) {
            EXPECT_EQ(window->DrawMode, DrawingMode::Project) << "the project is still in the list";
        }
        window->mnuReloadProject_Click();
        EXPECT_EQ(window->DrawMode, DrawingMode::Project) << i;
    }
    testDialogs().reset();
    testDialogs().inputAnswers = {"plate.gcode"};
    window->cmdSaveGCODE_Click();
    EXPECT_EQ(testDialogs().calls.size(), 2u) << "the reloaded project saves again";
    EXPECT_EQ(readFile(gcode), program);
}

// The figures follow every layout and every file read, with the chosen
// profile's machine (a file that does not read leaves those of the picture
// still shown); the save writes the profile's program.
TEST_F(frmGCodeProjectTest, TheChosenProfileTimesEachLayoutAndFileReadAndIsSaved) {
    numtext::setDecimalSeparator(',');
    const auto shown = [this] {
        QElapsedTimer clock;
        clock.start();
        while (window->isEstimating() && clock.elapsed() < 30000) {
            QCoreApplication::processEvents();
            QThread::msleep(2);
        }
        return fromQ(window->lblEstimate->text());
    };
    const auto expected = [](const GCodeProfile& profile) {
        return FiguresStatusText(EstimateProgram(*testSession().penPoints(), "500.00", profile),
                                 ',');
    };
    load(project("plate.txt", kParameters + "WW W\r\nW\r\n"));
    const std::string vezor = shown();
    EXPECT_EQ(vezor, expected(DefaultProfile()));
    EXPECT_TRUE(vezor.starts_with(w("Письмо "))) << window->lblEstimate->text().toStdString();

    ChooseProfile("GRBL");
    window->relayoutNow();
    EXPECT_EQ(shown(), expected(FindProfile("GRBL")));
    EXPECT_NE(shown(), vezor);
    // The save proposes the profile's extension and writes its program.
    testDialogs().inputAnswers = {"plate.nc"};
    window->cmdSaveGCODE_Click();
    ASSERT_FALSE(testDialogs().calls.empty());
    EXPECT_EQ(testDialogs().calls[0].defaultText, "plate.nc");
    EXPECT_EQ(readFile(joinPath(projects, "plate.nc")),
              BuildGCodeProgram(*testSession().penPoints(), "500.00", FindProfile("GRBL")));
    window->show();
    saveScreenshot(window.get(), "frmGCode_figures");

    const std::string square = joinPath(projects, "square.nc");
    writeFile(square, "G21G90\nG0X0Y0\nG1Z-1F100\nG1X10Y0F600\nG1X10Y10\nG1X0Y10\nG1X0Y0\nG0Z5\n");
    window->ReadGCodeFile(square);
    const std::string squareFigures = shown();
    EXPECT_TRUE(squareFigures.starts_with(w("Письмо 40,0 мм · Холостой ход 0,0 мм")))
        << squareFigures;
    writeFile(joinPath(projects, "broken.gcode"), "G1X1Y1\r\n(Text)\r\n");
    window->ReadGCodeFile(joinPath(projects, "broken.gcode"));
    EXPECT_EQ(shown(), squareFigures) << "the picture shown is still the square's";
}

TEST_F(frmGCodeProjectTest, SaveWithoutAProject) {
    window->cmdSaveGCODE->setEnabled(true);
    window->cmdSaveGCODE_Click();
    EXPECT_EQ(testDialogs().messagesUtf8(), std::vector<std::string>{"Проект не загружен"});
    EXPECT_EQ(testDialogs().calls[0].title, w(kCaption));
    EXPECT_FALSE(window->cmdSaveGCODE->isEnabled());
}

TEST_F(frmGCodeProjectTest, SaveProposesTheNameAndWritesBelowTheProgramFolder) {
    testSession().machiningSettings().SkorF = "750.00";
    load(project("my.plate.txt", kParameters + "W\r\n"));
    testDialogs().inputAnswers = {"out.gcode"};
    window->cmdSaveGCODE_Click();
    const auto& calls = testDialogs().calls;
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].kind, "input");
    EXPECT_EQ(calls[0].text, w("Будет записано в ") + projects + "/");
    EXPECT_EQ(calls[0].title, w("Файл для сохранения"));
    EXPECT_EQ(calls[0].defaultText, "my.gcode");
    EXPECT_EQ(calls[1].text, w("G-Code записаны в файл ") + projects + "/out.gcode");
    EXPECT_EQ(calls[1].title, w(kCaption));
    const std::string written = readFile(joinPath(projects, "out.gcode"));
    EXPECT_EQ(written, BuildGCodeProgram(*testSession().penPoints(), "750.00"));
    EXPECT_NE(written.find("G1Z0.000F750.00\r\n"), std::string::npos);

    // A project stored elsewhere has its program in the program folder, and both
    // boxes say so.
    QTemporaryDir elsewhere;
    const std::string outside = joinPath(elsewhere.path().toStdString(), "plate.txt");
    writeFile(outside, kParameters + "W\r\n");
    load(outside);
    testDialogs().reset();
    testDialogs().inputAnswers = {"plate.gcode"};
    window->cmdSaveGCODE_Click();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].text, w("Будет записано в ") + testProgramFolder() + "/");
    EXPECT_EQ(calls[1].text, w("G-Code записаны в файл ") + testProgramFolder() + "/plate.gcode");
    EXPECT_TRUE(textfile::isFile(joinPath(testProgramFolder(), "plate.gcode")));
}

TEST_F(frmGCodeProjectTest, SaveCancelledOrFailingLeavesNoFile) {
    load(project("plate.txt", kParameters + "A\r\n"));
    window->cmdSaveGCODE_Click();  // cancelled
    EXPECT_EQ(testDialogs().calls.size(), 1u);

    testDialogs().reset();
    testDialogs().inputAnswers = {"no/such/folder.gcode"};
    window->cmdSaveGCODE_Click();
    ASSERT_EQ(testDialogs().calls.size(), 2u);
    EXPECT_EQ(testDialogs().calls[1].title, w(kCaption));
    EXPECT_EQ(testDialogs().calls[1].icon, Dialogs::Icon::Error);
    EXPECT_TRUE(win1251::toUtf8(testDialogs().calls[1].text).starts_with("Не удалось записать"))
        << testDialogs().messagesUtf8()[0];
}

TEST_F(frmGCodeProjectTest, SaveRefusesAListWithoutRecords) {
    load(project("plate.txt", kParameters + "A\r\n"));
    auto liftsOnly = std::make_shared<PenPoints>();
    liftsOnly->append(PenPoint{0, 0, 15}, "G0Z15,00");
    for (const auto& points : {std::make_shared<PenPoints>(), liftsOnly}) {
        testSession().penPoints() = points;
        testDialogs().reset();
        testDialogs().inputAnswers = {"x.gcode"};
        window->cmdSaveGCODE_Click();
        ASSERT_EQ(testDialogs().calls.size(), 1u) << "no name asked";
        EXPECT_EQ(testDialogs().calls[0].text, NothingToWriteError().message());
        EXPECT_FALSE(textfile::isFile(joinPath(testProgramFolder(), "x.gcode")));
    }
}

}  // namespace
