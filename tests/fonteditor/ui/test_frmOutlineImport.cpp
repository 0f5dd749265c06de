#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <filesystem>
#include <memory>

#include "FontFixtures.h"
#include "fonteditor/ui/LetterSamplePanel.h"
#include "fonteditor/ui/frmFontPaint.h"
#include "fonteditor/ui/frmOutlineImport.h"
#include "main/FontList.h"

namespace {

namespace fs = std::filesystem;

// What the scripted user saw: the sample before writing, then the report.
struct Seen {
    QString summary;
    QString missing;
    QString report;
    int tableRows = -1;
    int worstCode = -1;
};

// Names the font in the preview and writes it, then clicks the worst letter in the report.
std::unique_ptr<QTimer> playOutlineImport(const QString& name, Seen& seen) {
    auto timer = std::make_unique<QTimer>();
    QObject::connect(timer.get(), &QTimer::timeout, [&seen, name] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (!w->isVisible()) continue;
            if (auto* preview = qobject_cast<frmOutlinePreview*>(w)) {
                seen.summary = preview->lblSummary->text();
                preview->txtName->setText(name);
                saveScreenshot(preview, "frmOutlinePreview");
                seen.missing = preview->sample->missingText();  // once the sample is drawn
                preview->cmdWrite->click();
            } else if (auto* report = qobject_cast<frmOutlineReport*>(w)) {
                seen.report = report->lblSummary->text();
                seen.tableRows = report->tblLetters->rowCount();
                seen.worstCode = report->cmdWorst.front()->property("code").toInt();
                saveScreenshot(report, "frmOutlineReport");
                report->cmdWorst.front()->click();
            }
        }
    });
    timer->start(0);
    return timer;
}

TEST(OutlineImport, ShowsTheSampleWritesTheFontAndOpensTheWorstLetter) {
    makeFont("Base", sampleLetters());
    const std::string sources = testProgramFolder() + "/sources";
    fs::create_directories(sources);
    fs::copy_file(VEZOR_TEST_DATA_DIR "/fonts/Strokes.ttf", sources + "/Strokes.ttf");
    frmFontPaint editor(testSession());
    editor.Form_Load();
    testDialogs().fileAnswers.push_back(FileChoice{sources, "Strokes.ttf", 1});
    Seen seen;
    const auto user = playOutlineImport(QStringLiteral("Штрих"), seen);
    editor.mnuImport_Click();

    EXPECT_TRUE(seen.summary.contains(QStringLiteral("Букв и цифр 8")))
        << seen.summary.toStdString();
    // The sample's default text holds letters the small font lacks; they are named.
    EXPECT_TRUE(seen.missing.startsWith(QStringLiteral("Нет в шрифте: ")))
        << seen.missing.toStdString();
    EXPECT_TRUE(seen.report.contains(QStringLiteral("«font/Штрих»"))) << seen.report.toStdString();
    EXPECT_EQ(seen.tableRows, 9);  // the letters and the full stop
    EXPECT_TRUE(testDialogs().calls.empty()) << testDialogs().messagesUtf8().front();
    auto letters = ListFontLetters(testProgramFolder() + "/font/Штрих");
    EXPECT_EQ(letters.size(), 9u);
    const auto fonts = FontList();
    EXPECT_NE(std::find(fonts.begin(), fonts.end(), "font/Штрих"), fonts.end());
    // The worst letter opens in the editor, in the new font.
    EXPECT_EQ(testSession().CurrentFont(), "font/Штрих");
    EXPECT_EQ(editor.cboLiter->currentData().toInt(), seen.worstCode);
    for (const auto& entry : fs::directory_iterator(testProgramFolder()))
        EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
}

TEST(OutlineImport, CancelAtTheSampleWritesNothing) {
    makeFont("Base", sampleLetters());
    auto timer = std::make_unique<QTimer>();
    QObject::connect(timer.get(), &QTimer::timeout, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* preview = qobject_cast<frmOutlinePreview*>(w); preview && w->isVisible())
                preview->cmdCancel->click();
    });
    timer->start(0);
    const OutlineImportResult result =
        ImportOutlineFont(VEZOR_TEST_DATA_DIR "/fonts/Strokes.ttf", 0, nullptr);
    EXPECT_EQ(result.font, "");
    EXPECT_EQ(FontList(), (std::vector<std::string>{"font/Base"}));
}

TEST(OutlineImport, InstalledFontsAreFilteredByEveryWord) {
    frmInstalledFonts chooser({{"DejaVu Sans", "Book", "/f/DejaVuSans.ttf", 0},
                               {"DejaVu Sans", "Bold", "/f/DejaVuSans-Bold.ttf", 0},
                               {"PT Sans", "Regular", "/f/PTS55F.ttf", 0}},
                              nullptr);
    EXPECT_EQ(chooser.spsFonts->count(), 3);
    chooser.txtFilter->setText(QStringLiteral("sans BOLD"));
    ASSERT_EQ(chooser.spsFonts->count(), 1);
    EXPECT_EQ(chooser.chosen()->file, "/f/DejaVuSans-Bold.ttf");
    EXPECT_EQ(chooser.lblFile->text(), QStringLiteral("/f/DejaVuSans-Bold.ttf"));
    chooser.txtFilter->setText(QStringLiteral("serif"));
    EXPECT_EQ(chooser.spsFonts->count(), 0);
    EXPECT_FALSE(chooser.chosen());
    EXPECT_FALSE(chooser.cmdOk->isEnabled());
}

}  // namespace
