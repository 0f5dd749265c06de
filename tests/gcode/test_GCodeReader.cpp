#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

#include "TestSupport.h"
#include "gcode/GCodeReader.h"
#include "lib/ProgramFolder.h"

namespace {

struct Read {
    PenPoints points;
    ViewBounds bounds;
    std::string failure;  // the message, empty when the read succeeded
};

Read readText(const std::string& text, ViewBounds bounds = {}) {
    Read r;
    r.bounds = bounds;
    EventPump pump;
    try {
        ReadGCodeText(text, r.points, r.bounds, pump);
    } catch (const GCodeReadError& e) {
        r.failure = e.message();
    }
    return r;
}

std::string failureFor(const std::string& line) {
    return w("Файл скорее всего не является VEzor,\rнайдены непонятные строки \r'") + line + "'";
}

TEST(ExtractAxisValue, CollectsSignsDigitsAndMarksAsCommas) {
    EXPECT_EQ(ExtractAxisValue("G1X12.5Y-3,25", 'X'), "12,5");
    EXPECT_EQ(ExtractAxisValue("G1X12.5Y-3,25", 'Y'), "-3,25");
    EXPECT_EQ(ExtractAxisValue("G1Z0.000F500.00", 'Z'), "0,000");
    EXPECT_EQ(ExtractAxisValue("M3", 'X'), "0");
    EXPECT_EQ(ExtractAxisValue("g1x10y20", 'X'), "10");
    EXPECT_EQ(ExtractAxisValue("G1 X5", 'X'), "5");
    EXPECT_EQ(ExtractAxisValue("G1 X 5", 'X'), "");
    EXPECT_EQ(ExtractAxisValue("G1X", 'X'), "");
    EXPECT_EQ(ExtractAxisValue("G1X1.2.3-", 'x'), "1,2,3-");
}

TEST(AxisNumber, AcceptsOnlySignDigitsAndOneMark) {
    EXPECT_EQ(axisNumber("12,5"), 12.5);
    EXPECT_EQ(axisNumber("-3.25"), -3.25);
    EXPECT_EQ(axisNumber("+7"), 7.0);
    EXPECT_EQ(axisNumber("5,"), 5.0);
    EXPECT_EQ(axisNumber(",5"), 0.5);
    for (const char* bad : {"", "-", "+", ",", "1,2,3", "1.2,3", "5-", "1+2", "--1", "+-1"})
        EXPECT_FALSE(axisNumber(bad).has_value()) << bad;
    EXPECT_FALSE(axisNumber("1" + std::string(400, '0')).has_value()) << "beyond a double";
    EXPECT_EQ(axisNumber("0," + std::string(400, '0') + "1"), 0.0) << "below a double";
    // Any number of digits and places reads as the correctly rounded decimal.
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i) {
        std::string digits;
        const int count = 1 + static_cast<int>(random() % 18);
        for (int k = 0; k < count; ++k) digits += static_cast<char>('0' + random() % 10);
        std::string text = digits;
        if (random() % 4 != 0) text.insert(random() % (digits.size() + 1), 1, '.');
        const double exact = std::strtod(text.c_str(), nullptr);
        const std::size_t mark = text.find('.');
        if (mark != std::string::npos && random() % 2 == 0) text[mark] = ',';
        EXPECT_EQ(axisNumber("-" + text), -exact) << text;
        EXPECT_EQ(axisNumber(text), exact) << text;
    }
}

TEST(ReadGCodeText, TakesTheFirstWordOfEachAxisIgnoringCaseAndOtherWords) {
    const Read r = readText(
        "G0X0.00Y0.00S15000F500.00M3\r\ng1x10y20\r\nG1Z-1\r\nG1X1,5Y-2.25Z3X9\r\nG1 X5 Y-2\r\n");
    ASSERT_EQ(r.failure, "");
    ASSERT_EQ(r.points.count(), 5u);
    EXPECT_EQ(r.points[1], (PenPoint{0, 0, 0}));
    EXPECT_EQ(r.points[2], (PenPoint{10, 20, 0}));
    EXPECT_EQ(r.points[3], (PenPoint{0, 0, -1}));
    EXPECT_EQ(r.points[4], (PenPoint{1.5, -2.25, 3}));
    EXPECT_EQ(r.points.line(1), "G0X0.00Y0.00S15000F500.00M3");
    EXPECT_EQ(r.points.line(4), "G1X1,5Y-2.25Z3X9");
    EXPECT_EQ(r.points[5], (PenPoint{5, -2, 0})) << "spaces between words are fine";
    EXPECT_EQ(r.bounds, (ViewBounds{0, -2.25, 10, 20}));
}

TEST(ReadGCodeText, LinesEndAtCrLfCrOrLfAndKeepEmptyLines) {
    for (const char* text :
         {"%\nG1X1Y2\n\nM30", "%\rG1X1Y2\r\rM30\r", "%\r\nG1X1Y2\r\n\r\nM30\r\n"}) {
        const Read r = readText(text);
        ASSERT_EQ(r.points.count(), 4u) << text;
        EXPECT_EQ(r.points.line(1), "%");
        EXPECT_EQ(r.points.line(2), "G1X1Y2");
        EXPECT_EQ(r.points.line(3), "");
        EXPECT_EQ(r.points.line(4), "M30");
        EXPECT_EQ(r.points[2], (PenPoint{1, 2, 0}));
    }
}

TEST(ReadGCodeText, ReplacesEarlierRecordsAndOnlyWidensTheBounds) {
    PenPoints points;
    points.append({5, 5, 0}, "old");
    points.append({6, 6, 0}, "older");
    ViewBounds bounds{0, -100, 100, 0};  // a project's field
    EventPump pump;
    ReadGCodeText("G1X10Y-20\nG1X120Y5\nG0Z5\n", points, bounds, pump);
    ASSERT_EQ(points.count(), 3u);
    EXPECT_EQ(points.line(1), "G1X10Y-20");
    EXPECT_EQ(points.line(3), "G0Z5");
    EXPECT_EQ(bounds, (ViewBounds{0, -100, 120, 5}));

    ReadGCodeText("", points, bounds, pump);
    ASSERT_EQ(points.count(), 1u) << "an empty file leaves the empty placeholder";
    EXPECT_EQ(points[1], PenPoint{});
    EXPECT_EQ(points.line(1), "");
}

TEST(ReadGCodeText, ALineWithoutANumberFailsAndKeepsWhatWasRead) {
    // The failing record keeps the axes read before the bad one; the bounds do not take it in.
    const Read r = readText("G1X10Y20\nG1X30Y-5\nG1X50Y 5\nG1X70Y70\n", ViewBounds{});
    EXPECT_EQ(r.failure, failureFor("G1X50Y 5"));
    ASSERT_EQ(r.points.count(), 3u);
    EXPECT_EQ(r.points.line(3), "G1X50Y 5");
    EXPECT_EQ(r.points[3], (PenPoint{50, 0, 0}));
    EXPECT_EQ(r.bounds, (ViewBounds{0, -5, 30, 20}));

    for (const char* line :
         {"G1 X 5", "G1X5 Y 2", "(Text)", "G1X5Y-", "G1X1.2.3", "G1X5-", "G1Z", "G1X+-2"}) {
        const Read bad = readText(std::string(line) + "\r\nG1X1Y1\r\n");
        EXPECT_EQ(bad.failure, failureFor(line)) << line;
        ASSERT_EQ(bad.points.count(), 1u) << "a first line that fails is the only record";
        EXPECT_EQ(bad.points.line(1), line);
    }

    // 200 characters are quoted whole; only a longer line is cut there.
    const std::string longest = "G1Z" + std::string(197, 'A');
    EXPECT_EQ(readText(longest).failure, failureFor(longest));
    EXPECT_EQ(readText(longest + "B").failure, failureFor(longest + "..."));

    // A line of a binary file: its number, and every byte a message box would
    // not show (a NUL would end its text) as \xNN; 200 characters of that.
    const std::string binary = std::string("G1X\x01\x00Y", 6) + "\x98\x7F\tZ";
    EXPECT_EQ(readText("G1X1Y1\n\n" + binary + "\n").failure,
              w("Файл скорее всего не является VEzor,\rнайдены непонятные строки \rстрока 3: "
                "'G1X\\x01\\x00Y\\x98\\x7F\tZ'"));
    std::string cut = "'X";
    for (int i = 0; i < 49; ++i) cut += "\\x00";  // 197 characters: no room for a 50th
    EXPECT_TRUE(
        readText("X" + std::string(300, '\0')).failure.ends_with(w("\rстрока 1: ") + cut + "...'"));
}

TEST(ReadGCodeFile, ReadsAFileAndNamesOneThatCannotBeRead) {
    const std::string path = joinPath(testProgramFolder(), "part.tap");
    writeFile(path, "G1X1Y2\nG1X3Y4");
    PenPoints points;
    ViewBounds bounds;
    EventPump pump;
    ReadGCodeFile(path, points, bounds, pump);
    ASSERT_EQ(points.count(), 2u);
    EXPECT_EQ(points[2], (PenPoint{3, 4, 0}));

    const PenPoints before = points;
    const std::string missing = joinPath(testProgramFolder(), "нет.tap");
    try {
        ReadGCodeFile(missing, points, bounds, pump);
        FAIL() << "a missing file reads";
    } catch (const GCodeReadError&) {
        FAIL() << "not a G-code fault";
    } catch (const FileReadError& e) {
        EXPECT_NE(e.message().find(w(missing)), std::string::npos) << e.message();
    }
    EXPECT_EQ(points, before);
    EXPECT_THROW(ReadGCodeFile(testProgramFolder(), points, bounds, pump), FileReadError);

    // An empty file (or one of blank lines) holds no program: said so, nothing changed.
    for (const char* empty : {"", "\r\n \r\n\t\n"}) {
        const std::string blank = joinPath(testProgramFolder(), "blank.nc");
        writeFile(blank, empty);
        try {
            ReadGCodeFile(blank, points, bounds, pump);
            ADD_FAILURE() << "an empty file reads";
        } catch (const EmptyGCodeFileError& e) {
            EXPECT_EQ(e.message(), w("Файл G-code пуст: " + blank));
        }
        EXPECT_EQ(points, before);
    }
}

// vezor-gcode --check only counts: the records handed over are the list's,
// bounds and failures alike, with nothing kept.
TEST(ReadGCodeFile, RecordsHandedOverOneByOneAreTheLists) {
    struct Collected final : PenPointSink {
        void add(const PenPoint& p) override { points.push_back(p); }
        std::vector<PenPoint> points;
    };
    EventPump pump;
    for (const std::string& text : {std::string("%\r\nG0Z5\r\nG1X-2,25Y40\r\n\rG1X5\n"),
                                    std::string(), std::string("G1X1Y1\nG1X5Y 5\nG1X2Y2\n")}) {
        const std::string path = joinPath(testProgramFolder(), "part.nc");
        writeFile(path, text);
        if (text.empty()) {
            // Refused as the window refuses it, before anything is handed over.
            Collected collected;
            ViewBounds bounds;
            EXPECT_THROW(ReadGCodeFileRecords(path, collected, bounds, pump), EmptyGCodeFileError);
            EXPECT_TRUE(collected.points.empty());
            continue;
        }
        const Read listed = readText(text);
        Collected collected;
        ViewBounds bounds;
        std::size_t count = 0;
        try {
            count = ReadGCodeFileRecords(path, collected, bounds, pump);
            EXPECT_EQ(count, listed.points.count());
        } catch (const GCodeReadError& e) {
            EXPECT_EQ(e.message(), listed.failure);
        }
        EXPECT_EQ(bounds, listed.bounds);
        std::vector<PenPoint> expected;
        for (std::size_t i = 1; i <= listed.points.count(); ++i)
            expected.push_back(listed.points[i]);
        EXPECT_EQ(collected.points, expected);
    }
}

}  // namespace
