#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <random>

#include "GoldenTemplate.h"
#include "TestSupport.h"
#include "gcode/GCodeEstimate.h"
#include "gcode/GCodeSink.h"
#include "gcode/GCodeWriter.h"
#include "gcode/MoveNumber.h"
#include "gcode/MoveText.h"
#include "lib/NumberText.h"
#include "lib/TextFile.h"
#include "lib/VezorError.h"
#include "lib/Win1251.h"
#include "main/Layout.h"
#include "main/ProjectFile.h"
#include "main/TestFont.h"

namespace {

// The names in a folder, hidden ones too, sorted.
std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// LetterHeight 10, WidthFactor 0.5: the test font's "W" is (20,100), (60,50),
// that is (1, 10) and (3, 5) in millimetres.
const std::string kParameters = "12//a\r\n100//b\r\n10//c\r\n0.5//d\r\n";
const std::string kOneLetter = kParameters + "W\r\n";

std::shared_ptr<PenPoints> layOut(const std::string& projectBytes,
                                  const MachiningSettings& settings = {}) {
    writeTestFont();
    EventPump none;
    return LayOutProject(ParseProject(projectBytes, none), kTestFont, settings).points;
}

PenPoints list(std::initializer_list<PenPoint> records) {
    PenPoints points;
    points.clear();
    for (const PenPoint& p : records) points.append(p, "ignored");
    return points;
}

TEST(GCodeProgram, OneLetterProjectByteForByte) {
    EXPECT_EQ(BuildGCodeProgram(*layOut(kOneLetter), "500.00"),
              "T1M6\r\n"
              "G0Z5.00\r\n"
              "G0X0.00Y0.00S15000F500.00M3\r\n"
              "G0X1Y-10\r\n"
              "G0Z0.000\r\n"
              "G1X1Y-10\r\n"
              "G1X3Y-5\r\n"
              "G0Z15.00\r\n"
              "G1Z0.000F500.00\r\n"
              "G0Z5.00\r\n"
              "G0X0.00Y0.00\r\n"
              "M30\r\n"
              "\r\n\r\n\r\n");
}

TEST(GCodeProgram, FeedTextIsCopiedIntoEveryFeedWord) {
    const std::string program = BuildGCodeProgram(*layOut(kOneLetter + "W W\r\n"), "750.00");
    const auto lines = textfile::splitLines(program);
    EXPECT_EQ(lines[2], "G0X0.00Y0.00S15000F750.00M3");
    int penDown = 0;
    for (const auto& line : lines) {
        if (line.starts_with("G1Z")) {
            EXPECT_EQ(line, "G1Z0.000F750.00");
            ++penDown;
        }
    }
    EXPECT_EQ(penDown, 3) << "after each lift: line end, the space, line end";
}

// A first record that lifts (a digit, punctuation, an empty first line) must not
// plunge at the origin: its lift, the move to the letter, then the pen goes down.
TEST(GCodeProgram, TextStartingWithALiftFirstTouchesThePlateAtTheFirstLetter) {
    for (const auto& [text, lift] : {std::pair{".\r\n", "G0Z5.00"}, {"\r\nW\r\n", "G0Z15.00"}}) {
        const auto lines =
            textfile::splitLines(BuildGCodeProgram(*layOut(kParameters + text), "5"));
        ASSERT_GT(lines.size(), 7u);
        EXPECT_EQ(lines[2], "G0X0.00Y0.00S15000F5M3");
        EXPECT_EQ(lines[3], lift) << text;
        EXPECT_EQ(lines[4], text[0] == '.' ? "G0X2.5Y-10" : "G0X1Y-22") << text;
        EXPECT_EQ(lines[5], "G1Z0.000F5") << text;
        EXPECT_EQ(lines[6], "G1" + lines[4].substr(2)) << text;
    }
}

TEST(GCodeProgram, RecordsReadFromAFileAreWrittenByTheirValues) {
    // Neither a drawing point nor a lift: an empty line; a fractional lift at the end.
    const PenPoints points =
        list({{0, 0, 0}, {0, 0, 0}, {1.5, -2.25, 0}, {4, 4, 4}, {7, -8, 0}, {0, 0, 2.5}});
    EXPECT_EQ(BuildGCodeProgram(points, "9"),
              "T1M6\r\nG0Z5.00\r\nG0X0.00Y0.00S15000F9M3\r\n"
              "G0X0Y0\r\n"
              "G0Z0.000\r\n"
              "\r\n"
              "G1X1.5Y-2.25\r\n"
              "\r\n"
              "G0X7Y-8\r\n"
              "G1Z0.000F9\r\n"
              "G1X7Y-8\r\n"
              "G0Z2.50\r\n"
              "G1Z0.000F9\r\n"
              "G0Z5.00\r\nG0X0.00Y0.00\r\nM30\r\n\r\n\r\n\r\n");
}

TEST(GCodeProgram, AListWithoutRecordsIsRefused) {
    EXPECT_THROW(BuildGCodeProgram(PenPoints(), "500.00"), NothingToWriteError);
    PenPoints empty;
    empty.clear();
    EXPECT_THROW(BuildGCodeProgram(empty, "500.00"), NothingToWriteError);
    // Lifts and points that are not drawn: nothing would touch the plate.
    EXPECT_THROW(BuildGCodeProgram(list({{}, {0, 0, 5}, {0, 3, 0}, {0, 0, 15}}), "500.00"),
                 NothingToWriteError);
    // Absurd project parameters overflow to infinity: no program that cannot be read back.
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_THROW(BuildGCodeProgram(list({{}, {inf, -1, 0}, {0, 0, 15}}), "500.00"),
                 CoordinateRangeError);
    // So is a lift height that is no number.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const double z : {inf, -inf, nan})
        EXPECT_THROW(BuildGCodeProgram(list({{}, {1, -1, 0}, {0, 0, z}}), "500.00"),
                     CoordinateRangeError);
}

TEST(GCodeProgram, TheFileHasPointsWhateverTheUsersSeparator) {
    const std::string project = kOneLetter + "<@XXX=12.25>A\r\n";
    const std::string withPoints = BuildGCodeProgram(*layOut(project), "500.00");
    numtext::setDecimalSeparator(',');
    const auto commaList = layOut(project);
    EXPECT_EQ(commaList->line(commaList->count() - 1), "G1X14,75Y-22") << "the list shows commas";
    EXPECT_EQ(BuildGCodeProgram(*commaList, "500.00"), withPoints);
    EXPECT_NE(withPoints.find("G1X14.75Y-22\r\n"), std::string::npos);
}

TEST(GCodeProgram, ALayoutWithoutListTextsWritesTheSameProgram) {
    writeTestFont();
    EventPump none;
    const Project p = ParseProject(textfile::joinCrLf(ProjectTemplateLines()), none);
    const MachiningSettings s{2.5, 15, "500.00", 0};
    const auto bare = LayOutProject(p, kTestFont, s, MoveTexts::Skip).points;
    EXPECT_EQ(bare->line(2), "");
    EXPECT_EQ(BuildGCodeProgram(*bare, "500.00"),
              BuildGCodeProgram(*LayOutProject(p, kTestFont, s).points, "500.00"));
}

// The template laid out with the test font, kept as a file so that any change
// of the whole road shows. VEZOR_REGENERATE_GOLDEN=1 rewrites it.
TEST(GCodeProgram, TemplateGoldenFile) {
    const std::string golden = VEZOR_TEST_DATA_DIR "/gcode/template.gcode";
    const std::string program = BuildGCodeProgram(*layOut(goldenTemplateText()), "500.00");
    if (std::getenv("VEZOR_REGENERATE_GOLDEN")) writeFile(golden, program);
    EXPECT_EQ(program, readFile(golden));
}

// The file is made block by block: the blocks must join to the very program,
// and a failed write must leave the earlier file as it was.
TEST(GCodeProgram, AFileMadeInBlocksIsTheWholeProgram) {
    PenPoints points;
    for (int i = 1; i <= 200000; ++i) {
        points.append(PenPoint{i * 0.01, -i * 0.03, 0}, "");
        if (i % 7 == 0) points.append(PenPoint{0, 0, 5}, "");
    }
    const std::string program = BuildGCodeProgram(points, "500.00");
    ASSERT_GT(program.size(), 3u << 20);
    const std::string path = joinPath(testProgramFolder(), "big.gcode");
    WriteGCodeFile(path, points, "500.00", DefaultProfile());
    EXPECT_TRUE(readFile(path) == program);

    const std::string inFolder = joinPath(testProgramFolder(), "gone/x.gcode");
    EXPECT_THROW(WriteGCodeFile(inFolder, points, "500.00", DefaultProfile()), FileWriteError);
    PenPoints liftsOnly;
    liftsOnly.append(PenPoint{0, 0, 5}, "");
    EXPECT_THROW(WriteGCodeFile(path, liftsOnly, "500.00", DefaultProfile()), NothingToWriteError);
    EXPECT_TRUE(readFile(path) == program);
}

// The thread that hands the program on to the file: a write that fails there
// shows at a later write() or at finish(), the last block's at finish(), so
// that no shortened body is taken for the whole program.
TEST(SinkThread, AWriteThatFailsOnTheThreadShowsAtFinish) {
    class FailingSink final : public GCodeSink {
      public:
        explicit FailingSink(int failAt) : failAt_(failAt) {}
        void write(std::string_view bytes) override {
            if (++writes_ == failAt_) throw FileWriteError("disk full");
            text.append(bytes);
        }
        std::string text;

      private:
        int failAt_;
        int writes_ = 0;
    };
    for (const int failAt : {1, 2}) {
        FailingSink sink(failAt);
        SinkThread thread(sink);
        const auto program = [&] {
            thread.write(std::string(std::size_t{1} << 20, 'x'));
            thread.write("M30\r\n");
            thread.finish();
        };
        EXPECT_THROW(program(), FileWriteError) << "failing write " << failAt;
    }
    FailingSink sound(0);
    SinkThread thread(sound);
    thread.write("G1X1Y1\r\n");
    thread.finish();
    EXPECT_EQ(sound.text, "G1X1Y1\r\n");
}

// The command line lays the project out straight into the program from the
// project's text, line by line, going through the records once per pass (and
// once more for the figures or the check): every profile's program and
// figures are the list's, and records that make no program are refused before
// a kept sink gets a byte.
TEST(GCodeProgram, AStreamedLayoutWritesTheListsProgram) {
    writeTestFont();
    EventPump none;
    // UTF-8 with a character Windows-1251 lacks, a tag, a comment, an empty line.
    const std::string text =
        win1251::toUtf8(textfile::joinCrLf(ProjectTemplateLines())) + "W7 \u2603//x\r\n\r\nW";
    const Project p = ParseProject(text, none);
    const ProjectStream stream(text);
    const MachiningSettings s{2.5, 15, "500.00", 0};
    const LayoutResult listed = LayOutProject(p, kTestFont, s);
    ASSERT_FALSE(listed.messages.empty());
    int passes = 0;
    const PenPointSource streamed = [&](PenPointSink& sink) {
        ++passes;
        EXPECT_EQ(StreamProjectLayout(stream, kTestFont, s, sink).messages, listed.messages);
    };
    std::vector<GCodeProfile> profiles = ShippedProfiles();
    profiles.push_back(FindProfile("GRBL"));
    profiles.back().passes = 3;
    profiles.back().depthStep = 0.1;
    for (const GCodeProfile& profile : profiles) {
        SCOPED_TRACE(profile.name + " " + std::to_string(profile.passes));
        const std::string program = BuildGCodeProgram(*listed.points, "500.00", profile);
        for (const WrittenOnFailure mode : {WrittenOnFailure::Kept, WrittenOnFailure::Discarded}) {
            StringSink sink;
            passes = 0;
            WriteGCode(streamed, "500.00", profile, sink, mode);
            EXPECT_TRUE(sink.text == program);
            // The figures go through the whole program, a check once.
            const int expected = profile.comments                 ? 2 * profile.passes
                                 : mode == WrittenOnFailure::Kept ? profile.passes + 1
                                                                  : profile.passes;
            EXPECT_EQ(passes, expected);
        }
        // Into a file, once through the records: the body waits beside the
        // file for the figures, and nothing else is left there.
        const std::string folder = joinPath(testProgramFolder(), "out");
        std::filesystem::create_directories(folder);
        const std::string path = joinPath(folder, "streamed.gcode");
        passes = 0;
        WriteGCodeFile(path, streamed, "500.00", profile);
        EXPECT_TRUE(readFile(path) == program);
        EXPECT_EQ(passes, profile.passes);
        EXPECT_EQ(filesIn(folder), std::vector<std::string>{"streamed.gcode"});
        EXPECT_EQ(FigureLines(EstimateProgram(streamed, "500.00", profile)),
                  FigureLines(EstimateProgram(*listed.points, "500.00", profile)));
    }

    const double inf = std::numeric_limits<double>::infinity();
    const auto records = [](std::vector<PenPoint> points) {
        return PenPointSource([points](PenPointSink& sink) {
            for (const PenPoint& point : points) sink.add(point);
        });
    };
    for (const GCodeProfile& profile : {DefaultProfile(), FindProfile("GRBL")}) {
        StringSink sink;
        EXPECT_THROW(WriteGCode(records({{0, 0, 5}, {0, 3, 0}}), "500.00", profile, sink,
                                WrittenOnFailure::Kept),
                     NothingToWriteError);
        EXPECT_THROW(WriteGCode(records({{1, -1, 0}, {inf, -1, 0}, {2, -2, 0}}), "500.00", profile,
                                sink, WrittenOnFailure::Kept),
                     CoordinateRangeError);
        EXPECT_EQ(sink.text, "");
        EXPECT_THROW(
            WriteGCode(records({{0, 0, 5}}), "500.00", profile, sink, WrittenOnFailure::Discarded),
            NothingToWriteError);
        const std::string folder = joinPath(testProgramFolder(), "kept");
        std::filesystem::create_directories(folder);
        const std::string path = joinPath(folder, "kept.gcode");
        textfile::writeAtomically(path, "earlier");
        EXPECT_THROW(WriteGCodeFile(path, records({{0, 0, 5}, {0, 3, 0}}), "500.00", profile),
                     NothingToWriteError);
        EXPECT_EQ(readFile(path), "earlier");
        EXPECT_EQ(filesIn(folder), std::vector<std::string>{"kept.gcode"});
        std::filesystem::remove(path);
    }
}

TEST(GCodeTarget, FolderAndNameFromTheProjectPath) {
    const std::string app = testProgramFolder();
    GCodeTarget t = ProposeGCodeTarget(app + "/Projects/plate.txt");
    EXPECT_EQ(t.relativeFolder, "Projects/");
    EXPECT_EQ(t.proposedName, "plate.gcode");
    EXPECT_EQ(GCodeFilePath(t, "plate.gcode"), app + "/Projects/plate.gcode");

    t = ProposeGCodeTarget(app + "/a/b/my.plate.txt");
    EXPECT_EQ(t.relativeFolder, "a/b/");
    EXPECT_EQ(t.proposedName, "my.gcode");

    t = ProposeGCodeTarget(app + "/plate");
    EXPECT_EQ(t.relativeFolder, "");
    EXPECT_EQ(t.proposedName, "plate.gcode");

    t = ProposeGCodeTarget("/elsewhere/Other/plate.txt");
    EXPECT_EQ(t.relativeFolder, "") << "outside the program folder";
    EXPECT_EQ(GCodeFilePath(t, "x"), app + "/x") << "the answer is used as typed";
}

TEST(MoveNumber, FastFormsMatchTheShortestForm) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> wide(-1e6, 1e6);
    std::uniform_int_distribution<long long> hundredths(-100000000, 100000000);
    for (int i = 0; i < 200000; ++i) {
        const double v =
            i % 2 ? wide(random) : numtext::roundHalfEven(hundredths(random) / 100.0, 2);
        for (char separator : {'.', ','}) {
            std::string fast;
            movenumber::appendShortest(fast, v, separator);
            ASSERT_EQ(fast, numtext::shortest(v, separator)) << v;
        }
    }
    for (double v : {0.0, -0.0, 0.01, -0.01, 0.1, 1e13, 99999999999999.99, 1e-9, 1e300}) {
        std::string fast;
        movenumber::appendShortest(fast, v, '.');
        EXPECT_EQ(fast, numtext::shortest(v, '.')) << v;
    }
}

TEST(MoveNumber, RoundingMatchesTheLibraryRounding) {
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> near(-1000, 1000);
    std::uniform_int_distribution<long long> halves(-2000000, 2000000);
    for (int i = 0; i < 200000; ++i) {
        const double v = i % 2 ? near(random) : (halves(random) + 0.5) / 100.0;
        ASSERT_EQ(movenumber::roundHundredths(v), numtext::roundHalfEven(v, 2)) << v;
    }
    for (double v : {0.125, -0.125, 0.375, 2.5e13, -2.5e13, 1e300, -1e-300, 0.0})
        EXPECT_EQ(movenumber::roundHundredths(v), numtext::roundHalfEven(v, 2)) << v;
}

TEST(MoveNumber, TwoDecimals) {
    const auto two = [](double v, char separator) {
        std::string s;
        movenumber::appendTwoDecimals(s, v, separator);
        return s;
    };
    EXPECT_EQ(two(5.5, '.'), "5.50");
    EXPECT_EQ(two(5.5, ','), "5,50");
    EXPECT_EQ(two(-0.25, '.'), "-0.25");
    EXPECT_EQ(two(0.125, '.'), "0.12");
    EXPECT_EQ(two(15, '.'), "15.00");
}

}  // namespace
