#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <memory>

#include "FontFixtures.h"
#include "fonteditor/ui/frmFontImport.h"
#include "fonteditor/ui/frmFontPaint.h"
#include "main/FontList.h"
#include "main/ui/frmGCode.h"

namespace {

namespace fs = std::filesystem;

const char* const kSvg = R"(<svg xmlns="http://www.w3.org/2000/svg"><defs><font>
<font-face units-per-em="100" ascent="80" descent="-20"/>
<glyph unicode="A" d="M 0 0 L 30 70 L 60 0 M 15 35 H 45"/>
<glyph unicode="o" d="M 25 0 C 39 0 50 11 50 25 S 39 50 25 50 A 25 25 0 0 1 25 0"/>
<glyph unicode="&#x411;" d="M40 70H0V0h30q20 0 20 17.5T30 35H0"/>
<glyph unicode="B" d="M 0 0 L"/>
</font></defs></svg>)";

// What the scripted user saw while the import ran.
struct Seen {
    int progressMaximum = -1;
    QString report;
};

// Plays the user through the import's windows: picks the file in the chooser,
// watches the progress bar, and reads, pictures and closes the report.
std::unique_ptr<QTimer> playImport(const std::string& folder, const std::string& file, Seen& seen) {
    testDialogs().fileAnswers.push_back(FileChoice{folder, file, 1});
    auto timer = std::make_unique<QTimer>();
    QObject::connect(timer.get(), &QTimer::timeout, [&seen] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (!w->isVisible()) continue;
            if (auto* progress = qobject_cast<QProgressDialog*>(w)) {
                seen.progressMaximum = progress->maximum();
            } else if (auto* report = qobject_cast<frmImportReport*>(w)) {
                seen.report = report->txtReport->toPlainText();
                saveScreenshot(report, "frmImportReport");
                report->cmdOk->click();
            }
        }
    });
    timer->start(0);  // every pass of the event loop: the progress of three letters is brief
    return timer;
}

class FontImport : public ::testing::Test {
  protected:
    void SetUp() override {
        makeFont("Base", sampleLetters());
        sources = testProgramFolder() + "/sources";
        writeFile(sources + "/Mine.svg", kSvg);
    }
    std::string sources;
};

TEST_F(FontImport, MakesTheFontWithAProgressBarShowsTheReportAndListsIt) {
    frmGCode window(testSession());
    window.Form_Load();
    frmFontPaint editor(testSession(), &window);
    testDialogs().inputAnswers = {w("Мой шрифт")};
    Seen seen;
    const auto user = playImport(sources, "Mine.svg", seen);
    editor.mnuImport->trigger();

    ASSERT_EQ(testDialogs().calls.size(), 1u) << testDialogs().messagesUtf8().size();
    EXPECT_EQ(testDialogs().calls[0].defaultText, "Mine");  // the file's name proposed
    EXPECT_EQ(seen.progressMaximum, 3);
    EXPECT_TRUE(seen.report.contains(QStringLiteral("букв 3"))) << seen.report.toStdString();
    EXPECT_TRUE(seen.report.contains(QStringLiteral("путь не читается, «B»")));
    const std::string made = testProgramFolder() + "/font/Мой шрифт";
    auto letters = ListFontLetters(made);
    std::sort(letters.begin(), letters.end());
    EXPECT_EQ(letters, (std::vector<int>{65, 111, 193}));
    EXPECT_GE(window.cboShrift->findText(QStringLiteral("font/Мой шрифт")), 0);
    EXPECT_EQ(window.cboShrift->currentText(), QStringLiteral("font/Base"));  // the choice stays

    // The same name again: asked first; No keeps the font as it was, Yes
    // replaces it whole; no scratch folder stays behind either way.
    writeFile(made + "/mark", "old");
    for (const bool replace : {false, true}) {
        testDialogs().reset();
        testDialogs().inputAnswers = {w("Мой шрифт")};
        testDialogs().questionAnswers = {replace};
        Seen again;
        const auto user = playImport(sources, "Mine.svg", again);
        editor.mnuImport_Click();
        ASSERT_EQ(testDialogs().calls.size(), 2u);
        EXPECT_EQ(testDialogs().calls[1].text, w("Шрифт «font/Мой шрифт» уже есть. Заменить его?"));
        EXPECT_EQ(testDialogs().calls[1].preferred, Dialogs::Answer::No) << "Enter keeps the font";
        EXPECT_EQ(fs::exists(made + "/mark"), !replace);
        EXPECT_EQ(ListFontLetters(made).size(), 3u);
    }
    for (const auto& entry : fs::directory_iterator(testProgramFolder()))
        EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
}

TEST_F(FontImport, AFileThatIsNoFontIsNamedAndNothingIsWritten) {
    writeFile(sources + "/Broken.svg", "<svg><font><glyph unicode='A' d='M 0 0 L 1 1'>");
    frmFontPaint editor(testSession());
    Seen seen;
    const auto user = playImport(sources, "Broken.svg", seen);
    editor.mnuImport_Click();
    ASSERT_EQ(testDialogs().calls.size(), 1u);
    const std::string text = testDialogs().messagesUtf8()[0];
    EXPECT_EQ(text.rfind("Шрифт не прочитан из файла Broken.svg:\nфайл не читается как SVG", 0), 0u)
        << text;
    EXPECT_EQ(FontList(), (std::vector<std::string>{"font/Base"}));
}

}  // namespace
