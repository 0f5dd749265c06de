// Every input of the fuzz corpora, read again in the ordinary and the
// sanitized test build: inputs that once crashed a reader stay in the corpus
// and keep being tried here, without clang or libFuzzer.
#include <gtest/gtest.h>

#include <QDir>
#include <cmath>
#include <functional>

#include "../main/TestFont.h"
#include "RobustSupport.h"
#include "TestSupport.h"
#include "font/FontStorage.h"
#ifdef VEZOR_OUTLINE
#include "fontsource/FontSources.h"
#include "fontsource/OutlineCompiler.h"
#endif
#include "gcode/GCodeReader.h"
#include "gcode/GCodeWriter.h"
#include "gcode/InterpretedEstimate.h"
#include "gcode/InterpretedReader.h"
#include "lib/EventPump.h"
#include "lib/MachiningSettings.h"
#include "lib/ProgramFolder.h"
#include "lib/TagData.h"
#include "lib/VezorError.h"
#include "lib/cls_PropertyHTML.h"
#include "main/Layout.h"
#include "main/ProjectFile.h"

namespace {

// Runs the reader on every file of the target's corpus; returns how many.
int replay(const std::string& target, const std::function<void(const std::string&)>& read) {
    const QDir corpus(
        QString::fromStdString(std::string(VEZOR_SOURCE_DIR) + "/tests/fuzz/corpus/" + target));
    int files = 0;
    for (const QString& name : corpus.entryList(QDir::Files, QDir::Name)) {
        SCOPED_TRACE(target + "/" + name.toStdString());
        read(readFile(corpus.filePath(name).toStdString()));
        ++files;
    }
    return files;
}

TEST(FuzzCorpus, Projects) {
    writeTestFont();
    const std::string path = joinPath(testProgramFolder(), "project.txt");
    EXPECT_GT(replay("fuzz_project",
                     [&](const std::string& bytes) {
                         writeFile(path, bytes);
                         EventPump pump;
                         try {
                             const Project project = ReadProjectFile(path, pump);
                             const LayoutResult laid =
                                 LayOutProject(project, kTestFont, MachiningSettings{});
                             ASSERT_GE(laid.points->count(), 2u);
                             (void)BuildGCodeProgram(*laid.points, "500.00");
                         } catch (const NotAProjectError&) {
                         } catch (const CoordinateRangeError&) {
                         } catch (const NothingToWriteError&) {
                         }
                     }),
              0);
}

TEST(FuzzCorpus, GCodeFiles) {
    const std::string path = joinPath(testProgramFolder(), "program.gcode");
    EXPECT_GT(replay("fuzz_gcode",
                     [&](const std::string& bytes) {
                         writeFile(path, bytes);
                         EventPump pump;
                         PenPoints points;
                         ViewBounds bounds;
                         try {
                             ReadGCodeFile(path, points, bounds, pump);
                         } catch (const GCodeReadError& e) {
                             EXPECT_EQ(points.line(points.count()), e.line());
                         } catch (const EmptyGCodeFileError&) {
                         }
                         EXPECT_TRUE(std::isfinite(bounds.MinX) && std::isfinite(bounds.MaxX));
                     }),
              0);
}

TEST(FuzzCorpus, OtherProgramsGCode) {
    EXPECT_GT(
        replay("fuzz_gcode_interpreter",
               [&](const std::string& bytes) {
                   EventPump pump;
                   PenPoints points;
                   ViewBounds bounds;
                   try {
                       const InterpretedRead read = InterpretGCodeText(bytes, points, bounds, pump);
                       EXPECT_TRUE(std::isfinite(
                           EstimateInterpretedText(bytes, MachineLimits{}, read.cutRule).seconds));
                   } catch (const GCodeReadError&) {
                   }
                   EXPECT_TRUE(std::isfinite(bounds.MinX) && std::isfinite(bounds.MaxX));
               }),
        0);
}

TEST(FuzzCorpus, LetterFiles) {
    const std::string path = joinPath(testProgramFolder(), "font/F/65");
    EXPECT_GT(replay("fuzz_letter_file",
                     [&](const std::string& bytes) {
                         writeFile(path, bytes);
                         for (const std::string& line : ReadLetterLines(path)) {
                             double x = 0;
                             double y = 0;
                             ParsePointLine(line, x, y);
                             EXPECT_TRUE(std::isfinite(x) && std::isfinite(y));
                             (void)FormatCoordinate(x);
                         }
                     }),
              0);
}

TEST(FuzzCorpus, TagsAndTagData) {
    const auto readTags = [](const std::string& bytes) {
        std::string text = bytes;
        Collection<ProjectLine> lines;
        lines.Add(ProjectLine{});
        ExtractLineTags(lines, text);
        const ProjectLine& line = lines.Item(1);
        EXPECT_EQ(line.TagNames.Count(), line.TagPositions.Count());
        for (std::size_t position : {std::size_t{0}, std::size_t{1}, bytes.size() / 2,
                                     bytes.size() + 1, bytes.size() + 2}) {
            try {
                (void)tagdata::TEG_Data(bytes, "<@", ">", position);
                (void)tagdata::TEG_TegDataTeg(bytes, "<", ">", position);
                (void)tagdata::TEG_Data_Del(bytes, "<title", "</title>", position);
            } catch (const InvalidCallError&) {
            }
        }
    };
    EXPECT_GT(replay("fuzz_line_tags", readTags), 0);
    EXPECT_GT(replay("fuzz_tag_data", readTags), 0);
}

TEST(FuzzCorpus, Pages) {
    EXPECT_GT(replay("fuzz_html_page",
                     [&](const std::string& bytes) {
                         if (bytes.empty()) return;
                         const std::string name = (bytes[0] & 1) ? "page.htm" : "page.txt";
                         writeFile(joinPath(testProgramFolder(), name), bytes.substr(1));
                         cls_PropertyHTML page;
                         page.Load(name);
                         ASSERT_TRUE(page.FailHTMLLoad());
                         readEveryPageProperty(page);
                         std::string java = "a.htm";
                         int x = 0;
                         int y = 0;
                         page.InsertJava(java, x, y);
                         page.MetkaDel("x");
                         page.setTitul("T");
                     }),
              0);
}

#ifdef VEZOR_OUTLINE
TEST(FuzzCorpus, OutlineFonts) {
    EXPECT_GT(replay("fuzz_outline_font",
                     [](const std::string& bytes) {
                         try {
                             (void)fontc::convertOutlineFont(fontc::OutlineFont(bytes), "F");
                         } catch (const fontc::FontSourceError&) {
                         }
                     }),
              0);
}
#endif

}  // namespace
