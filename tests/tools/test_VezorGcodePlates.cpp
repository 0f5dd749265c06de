// Plates on the command line: codes that scan from the picture vezor-gcode
// draws, read by zbarimg and dmtxread (skipped with a message where missing).
#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>

#include "TestSupport.h"
#include "ToolRun.h"
#include "lib/ProgramFolder.h"

namespace {

QString pathOf(const std::string& name) {
    return QString::fromStdString(joinPath(testProgramFolder(), name));
}

QString project(const std::string& name, const std::string& text) {
    writeFile(joinPath(testProgramFolder(), name), text);
    return pathOf(name);
}

// What a decoder read from the picture; empty when it read nothing.
std::string decoded(const QString& tool, const QStringList& args) {
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(120000)) return {};
    std::string out = p.readAllStandardOutput().toStdString();
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
}

const char* kFont = VEZOR_SOURCE_DIR "/resources/font/A-Chertezh";

TEST(VezorGcodePlates, CodesDrawnByThePreviewScanToTheirText) {
    const QString zbarimg = QStandardPaths::findExecutable("zbarimg");
    const QString dmtxread = QStandardPaths::findExecutable("dmtxread");
#ifndef VEZOR_HAVE_ZINT
    GTEST_SKIP() << "built without codes (VEZOR_CODES=OFF)";
#endif
    if (zbarimg.isEmpty() || dmtxread.isEmpty())
        SKIP_WITHOUT_TOOL("zbarimg or dmtxread not installed (Debian zbar-tools, dmtx-utils)");
    // A 20 mm QR of 40 characters and a 10 mm DataMatrix on a 100 mm plate,
    // under a name, drawn with the default 0.3 mm line: 10 pixels a millimetre.
    const std::string url = "https://vezor.example/b?id=0042&n=Ivanov";
    const QString qr =
        project("qr.txt", "6//a\r\n100//b\r\n5//c\r\n1//d\r\n<@ALIGN=C>Badge\r\n<@QR=" + url +
                              ";20>\r\nmore text\r\n");
    Outcome run = vezorGcode(
        {"--font", kFont, "--out", pathOf("qr.nc"), "--png", pathOf("qr.png"), "--ink", qr});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(decoded(zbarimg, {"-q", "--raw", pathOf("qr.png")}), url);

    const QString dm =
        project("dm.txt", "6//a\r\n100//b\r\n5//c\r\n1//d\r\n<@ALIGN=R><@DM=VEZOR-0042;10>\r\n");
    run = vezorGcode(
        {"--font", kFont, "--out", pathOf("dm.nc"), "--png", pathOf("dm.png"), "--ink", dm});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(decoded(dmtxread, {"-m", "60000", "-N", "1", pathOf("dm.png")}), "VEZOR-0042");
}

// At 100 % in a wide field the modules are few pixels: a 25 mm code in a
// 120 mm field has 5.6 a module, in a 165 mm field 4.1; the picture still
// scans, its strokes' ends and edges where the tool leaves them.
TEST(VezorGcodePlates, ACodeScansFromFourPixelsAModule) {
    const QString zbarimg = QStandardPaths::findExecutable("zbarimg");
#ifndef VEZOR_HAVE_ZINT
    GTEST_SKIP() << "built without codes (VEZOR_CODES=OFF)";
#endif
    if (zbarimg.isEmpty()) SKIP_WITHOUT_TOOL("zbarimg not installed (Debian zbar-tools)");
    const std::string url = "https://vezor.example/b?id=0042&n=Ivanov";
    for (const int field : {120, 165}) {
        const QString qr = project("qr.txt", "6//a\r\n" + std::to_string(field) +
                                                 "//b\r\n5//c\r\n1//d\r\n<@QR=" + url + ";25>\r\n");
        const Outcome run = vezorGcode(
            {"--font", kFont, "--out", pathOf("qr.nc"), "--png", pathOf("qr.png"), "--ink", qr});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(decoded(zbarimg, {"-q", "--raw", pathOf("qr.png")}), url) << field << " mm field";
    }
}

TEST(VezorGcodePlates, ACodeThatCannotBeMadeIsToldAndTheRestWritten) {
#ifndef VEZOR_HAVE_ZINT
    GTEST_SKIP() << "built without codes (VEZOR_CODES=OFF)";
#endif
    const QString p = project(
        "long.txt", "6//a\r\n100//b\r\n5//c\r\n1//d\r\nA\r\n<@QR=" + std::string(8000, 'x') +
                        ">\r\n<@QR=;5>\r\n<@QR=a\u2603b;5>\r\n");
    const Outcome run = vezorGcode({"--font", kFont, "--out", pathOf("long.nc"), p});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.err.find("Строка 2: QR-код: текст не кодируется"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Строка 3: код «;5» не понят"), std::string::npos) << run.err;
    // A code of the stand-in byte would hold another text than the one typed.
    EXPECT_NE(run.err.find("Строка 4: QR-код: в тексте знак, которого нет в Windows-1251"),
              std::string::npos)
        << run.err;
}

// The plate tags that look at the whole project (a mirror anywhere, a fitted
// block) write the same program whether the layout streams into the writer or
// is kept for a drawing; a drawing asked without a picture holds the plate.
TEST(VezorGcodePlates, StreamedPlateIsTheListedOneAndItsDrawingNeedsNoPicture) {
    const QString p = project("whole.txt",
                              "6//a\r\n80//b\r\n5//c\r\n1//d\r\nTop\r\n<@FIT=30;8>\r\n"
                              "A rather long line\r\nshort\r\n<@FIT=OFF>\r\n<@BOLD=2>Bold\r\n"
                              "// a comment\r\n<@MIRROR>\r\n");
    Outcome run = vezorGcode({"--font", kFont, "--out", pathOf("streamed.nc"), p});
    ASSERT_EQ(run.status, 0) << run.err;
    run = vezorGcode(
        {"--font", kFont, "--out", pathOf("listed.nc"), "--svg", pathOf("whole.svg"), p});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string streamed = readFile(joinPath(testProgramFolder(), "streamed.nc"));
    EXPECT_EQ(streamed, readFile(joinPath(testProgramFolder(), "listed.nc")));
    const std::string svg = readFile(joinPath(testProgramFolder(), "whole.svg"));
    EXPECT_NE(svg.find("<path d=\"M "), std::string::npos) << svg;
}

}  // namespace
