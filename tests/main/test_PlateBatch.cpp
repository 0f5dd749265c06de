#include <gtest/gtest.h>

#include <filesystem>

#include "TestFont.h"
#include "TestSupport.h"
#include "gcode/GCodeWriter.h"
#include "lib/Win1251.h"
#include "main/PlateBatch.h"
#include "main/ProjectFile.h"

namespace {

std::vector<std::vector<std::string>> utf8Rows(const CsvTable& t) {
    std::vector<std::vector<std::string>> out;
    for (const auto& row : t.rows) {
        out.push_back({std::to_string(row.number)});
        for (const std::string& cell : row.cells) out.back().push_back(win1251::toUtf8(cell));
    }
    return out;
}

TEST(CsvTable, ReadsQuotesBothSeparatorsAndBothEncodings) {
    const std::string text =
        "Имя; Должность ;Код\r\n"
        "Иванов;\"Инженер; главный\";1\r\n"
        "\r\n"
        "\"Петров \"\"Пётр\"\"\";\"две\nстроки\";2\n"
        "Сидоров;  Техник  ;3";
    for (const std::string& bytes : {text, "\xEF\xBB\xBF" + text, w(text)}) {
        const CsvTable t = ParseCsv(bytes);
        EXPECT_EQ(t.separator, ';');
        ASSERT_EQ(t.names.size(), 3u);
        EXPECT_EQ(win1251::toUtf8(t.names[1]), "Должность");
        EXPECT_EQ(t.column(w("Код")), 2u);
        using R = std::vector<std::vector<std::string>>;
        EXPECT_EQ(utf8Rows(t), (R{{"2", "Иванов", "Инженер; главный", "1"},
                                  {"4", "Петров \"Пётр\"", "две\nстроки", "2"},
                                  {"6", "Сидоров", "Техник", "3"}}))
            << "numbered as a spreadsheet shows them, the empty row left out";
    }
    const CsvTable commas = ParseCsv("a,b;c\n1,\"2,5\"\n");
    EXPECT_EQ(commas.separator, ',');
    EXPECT_EQ(utf8Rows(commas), (std::vector<std::vector<std::string>>{{"2", "1", "2,5"}}));
    EXPECT_THROW(ParseCsv("a;b\n\"open;1\n"), CsvError);
    EXPECT_THROW(ParseCsv("\r\n\r\n"), CsvError);
}

TEST(PlateText, FillsNumbersAndColumnsAndLeavesOtherBracesAlone) {
    const PlateText t(w("{N:0001}-{N}-{N:100} {Имя} {} {a:b} {x"));
    EXPECT_EQ(t.names(), (std::vector<std::string>{"N", w("Имя")}));
    const auto name = [](const std::string& n) -> std::optional<std::string> {
        if (n == w("Имя")) return w("Ян");
        return std::nullopt;
    };
    EXPECT_EQ(win1251::toUtf8(t.fill(7, true, name)), "0007-7-106 Ян {} {a:b} {x");
    EXPECT_EQ(win1251::toUtf8(t.fill(7, false, name)), "0007-7-007 Ян {} {a:b} {x")
        << "a serial number is itself; the digits give only the width";
    EXPECT_THROW(t.fill(1, true,
                        [](const std::string& n) -> std::optional<std::string> {
                            return n == "N" ? std::nullopt : std::optional<std::string>("");
                        }),
                 MissingValueError);
}

class PlateBatchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        writeTestFont();
        folder = joinPath(testProgramFolder(), "plates");
        std::filesystem::create_directories(folder);
    }
    std::string project(const std::string& lines) {
        return "12//a\r\n100//b\r\n10//c\r\n0.5//d\r\n" + lines;
    }
    std::string folder;
};

TEST_F(PlateBatchTest, BadRowsAreReportedAndSkippedTheRestWrittenWhole) {
    PlateRows rows;
    rows.table = ParseCsv(w("Имя,Код\nAB,1\n,2\nA~,3\nAB,1\nB,4\n"));
    const PlateBatch batch(w(project("{Имя}\r\n{N:01}\r\n")), rows,
                           joinPath(folder, "p-{Код}.gcode"));
    std::vector<std::size_t> seen;
    const BatchReport report = WritePlateFiles(
        batch, kTestFont, {}, [](const PenPoints& p) { return BuildGCodeProgram(p, "500.00"); },
        [&](std::size_t done, const PlateOutcome&) {
            seen.push_back(done);
            return true;
        });
    EXPECT_EQ(seen, (std::vector<std::size_t>{1, 2, 3, 4, 5}));
    ASSERT_EQ(report.plates.size(), 5u);
    EXPECT_EQ(report.written(), 2u);
    EXPECT_EQ(report.plates[0].path, joinPath(folder, "p-1.gcode"));
    EXPECT_EQ(win1251::toUtf8(report.plates[1].message), "Строка 3: нет значения поля «Имя»");
    EXPECT_EQ(win1251::toUtf8(report.plates[2].message), "Строка 4: буква '~' не найдена");
    EXPECT_NE(win1251::toUtf8(report.plates[3].message).find("уже занят (Строка 2)"),
              std::string::npos);
    EXPECT_EQ(report.plates[4].path, joinPath(folder, "p-4.gcode"));
    EXPECT_FALSE(std::filesystem::exists(joinPath(folder, "p-2.gcode")));

    // The file is the program of the project with the values in place.
    EventPump none;
    const LayoutResult five =
        LayOutProject(ParseProject(project("B\r\n05\r\n"), none), kTestFont, {}, MoveTexts::Skip);
    EXPECT_EQ(readFile(report.plates[4].path), BuildGCodeProgram(*five.points, "500.00"));

    // Cancelled after the second plate: two outcomes, nothing after.
    const BatchReport stopped = WritePlateFiles(
        batch, kTestFont, {}, [](const PenPoints& p) { return BuildGCodeProgram(p, "500.00"); },
        [](std::size_t done, const PlateOutcome&) { return done < 2; });
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_EQ(stopped.plates.size(), 2u);
}

TEST_F(PlateBatchTest, ABatchThatCannotWorkStopsBeforeAnyPlate) {
    const auto fails = [&](const std::string& text, PlateRows rows, const std::string& pattern) {
        try {
            const PlateBatch batch(w(project(text)), std::move(rows), pattern);
        } catch (const BatchError& e) {
            return win1251::toUtf8(e.message());
        }
        return std::string("(started)");
    };
    PlateRows table;
    table.table = ParseCsv("A\n1\n2\n");
    EXPECT_EQ(fails("{B}", table, "{N}"), "В таблице нет столбца «B»");
    EXPECT_EQ(fails("{A}", table, "{B}.gcode"), "В таблице нет столбца «B»");
    EXPECT_NE(fails("{A}", table, "plate.gcode").find("нет поля"), std::string::npos);
    EXPECT_EQ(fails("{A}", *SerialRange("1..3"), "{N}"),
              "Поле «A» берётся из таблицы, а задан ряд номеров");
    EXPECT_FALSE(SerialRange("3..1"));
    EXPECT_FALSE(SerialRange("1-3"));
    EXPECT_THROW(PlateBatch("no project", *SerialRange("1..2"), "{N}"), NotAProjectError);
}

TEST_F(PlateBatchTest, GridPlacesPlatesByPitchAndLeavesNoGapForSkipped) {
    std::vector<std::string> skipped;
    // Plate 3 lacks its letter: plates 1, 2 and 4 take the first three places.
    PlateRows rows;
    rows.table = ParseCsv("T\nA\nA\n~\nA\n");
    const PlateBatch batch(project("{T}\r\n"), rows, "");
    const LayoutResult grid =
        LayOutPlateGrid(batch, 2, 30, 20, kTestFont, {}, MoveTexts::Build, skipped);
    ASSERT_EQ(skipped.size(), 1u);
    std::vector<std::string> texts;
    for (std::size_t i = 2; i <= grid.points->count(); ++i)
        texts.emplace_back(grid.points->line(i));
    EXPECT_EQ(texts, (std::vector<std::string>{"G1X2.5Y-10", "G0Z15,00", "G1X32.5Y-10", "G0Z15,00",
                                               "G1X2.5Y-30", "G0Z15,00"}));
    EXPECT_EQ(grid.bounds, (ViewBounds{0, -130, 130, 0}));
}

}  // namespace

namespace {

// A badge whose name always fits: 200 names of 3 to 40 letters in the
// shipped font, each plate fitting its own.
TEST(PlateBatch, FittedNamesOfABatchFillTheirBoxAndNoLetterGrows) {
    const char* syllables[] = {"Ан",  "на", "Ми",  "ха", "ил",   "Ка", "те", "ри", "на",
                               "Вла", "ди", "мир", "ов", "ская", "Ю",  "ль", "ев", "ич"};
    std::string csv = "Имя\r\n";
    for (int i = 0; i < 200; ++i) {
        std::string name;
        for (int k = 0; k <= i % 20; ++k) name += syllables[(i * 7 + k * 5) % 18];
        if (i % 3 == 0) name += " Ю.";
        csv += name + "\r\n";
    }
    PlateRows rows;
    rows.table = ParseCsv(csv);
    const double width = 60;
    const double height = 8;
    const PlateBatch batch(w("10//a\r\n80//b\r\n8//c\r\n1//d\r\n<@ALIGN=C><@FIT=60>{Имя}\r\n"),
                           std::move(rows), "");
    ASSERT_EQ(batch.count(), 200u);
    double widest = 0;
    for (std::size_t i = 0; i < batch.count(); ++i) {
        const LayoutResult r = batch.layOut(i, VEZOR_SOURCE_DIR "/resources/font/A-Chertezh",
                                            MachiningSettings{}, MoveTexts::Skip);
        double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
        for (std::size_t k = 2; k <= r.points->count(); ++k) {
            const PenPoint& p = (*r.points)[k];
            if (p.Z != 0) continue;
            minX = std::min(minX, p.X);
            maxX = std::max(maxX, p.X);
            minY = std::min(minY, p.Y);
            maxY = std::max(maxY, p.Y);
        }
        ASSERT_LE(maxX - minX, width + 0.02) << batch.label(i);
        EXPECT_NEAR((minX + maxX) / 2, 40, 0.02) << batch.label(i);
        EXPECT_LE(maxY - minY, height + 0.01) << batch.label(i);
        if (i % 20 >= 10) {
            EXPECT_NEAR(maxX - minX, width, 0.1) << "a long name fills the box";
        }
        widest = std::max(widest, maxX - minX);
    }
    EXPECT_NEAR(widest, width, 0.1);
}

}  // namespace
