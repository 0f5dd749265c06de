#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>
#include <filesystem>
#include <string>

#include "lib/TextFile.h"

namespace {

struct FontcRun {
    int status = -1;
    std::string out;
    std::string err;
};

FontcRun fontc(const QStringList& args) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(VEZOR_BINARY_DIR "/vezor-fontc"), args);
    FontcRun r;
    if (!process.waitForFinished(60000)) return r;
    r.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    r.out = process.readAllStandardOutput().toStdString();
    r.err = process.readAllStandardError().toStdString();
    return r;
}

const QString kStrokes = QStringLiteral(VEZOR_TEST_DATA_DIR "/fonts/Strokes.ttf");

TEST(OutlineCommand, WritesTheFontAndEndsWithTheSummary) {
    QTemporaryDir dir;
    const QString out = dir.filePath("Strokes");
    const FontcRun r =
        fontc({"--outline", kStrokes, "--out", out, "--sheets", dir.filePath("sheets")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.ends_with("\nletters 8, median coverage 1.00, median spill 0.04, spurs 0\n"))
        << r.out;
    EXPECT_NE(r.out.find("not in the font: !"), std::string::npos);
    EXPECT_TRUE(textfile::isFile(out.toStdString() + "/72"));
    EXPECT_TRUE(textfile::isFile(out.toStdString() + "/LICENSE.txt"));
    EXPECT_TRUE(std::filesystem::exists(dir.filePath("sheets/Strokes.png").toStdString()));
}

TEST(OutlineCommand, RefusesWhatIsNoFontOrNoFace) {
    QTemporaryDir dir;
    const QString out = dir.filePath("X");
    const FontcRun notAFont =
        fontc({"--outline", VEZOR_TEST_DATA_DIR "/fonts/make_strokes_ttf.py", "--out", out});
    EXPECT_EQ(notAFont.status, 1);
    EXPECT_NE(notAFont.err.find("файл не читается как шрифт TrueType или OpenType"),
              std::string::npos)
        << notAFont.err;
    EXPECT_FALSE(std::filesystem::exists(out.toStdString()));
    EXPECT_EQ(fontc({"--outline", kStrokes, "--face", "one", "--out", out}).status, 2);
    EXPECT_EQ(fontc({"--outline", kStrokes, "--face", "2", "--out", out}).status, 1);
}

}  // namespace
