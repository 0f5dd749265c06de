// vezor-gcode --batch, --serial and --grid, run as the user runs them.
#include <gtest/gtest.h>

#include <filesystem>

#include "../main/TestFont.h"
#include "TestSupport.h"
#include "ToolRun.h"
#include "lib/ProgramFolder.h"

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

TEST(VezorGcodeBatch, OneFilePerRowOrNumberBadRowsReportedAndSkipped) {
    const std::string font = writeTestFont();
    const std::string dir = joinPath(testProgramFolder(), "batch");
    std::filesystem::create_directories(dir);
    const std::string project = joinPath(dir, "plate.txt");
    writeFile(project, "12//a\r\n100//b\r\n10//c\r\n0.5//d\r\n{Name}\r\n<@ALIGN=R>{N:01}\r\n");
    writeFile(joinPath(dir, "t.csv"), w("Name;Город\r\nAB;Омск\r\n~;Тверь\r\n;Уфа\r\nW;Орёл\r\n"));

    const Outcome rows = vezorGcode({"--font", q(font), "--batch", q(joinPath(dir, "t.csv")),
                                     "--out", q(joinPath(dir, "{Город}-{N}.gcode")), q(project)});
    EXPECT_EQ(rows.status, 3) << rows.err;
    EXPECT_EQ(rows.out,
              joinPath(dir, "Омск-1.gcode") + "\n" + joinPath(dir, "Орёл-4.gcode") + "\n");
    EXPECT_EQ(rows.err,
              "Строка 3: буква '~' не найдена\nСтрока 4: нет значения поля «Name»\n"
              "Записано файлов: 2 из 4\n");

    const Outcome serial = vezorGcode({"--font", q(font), "--serial", "9..10", "--out",
                                       q(joinPath(dir, "s{N:000}.gcode")), q(project)});
    EXPECT_EQ(serial.status, 1) << "a range has no Name: " << serial.err;
    EXPECT_EQ(serial.err, "Поле «Name» берётся из таблицы, а задан ряд номеров\n");
    writeFile(project, "12//a\r\n100//b\r\n10//c\r\n0.5//d\r\nA{N}\r\n");
    const Outcome numbers = vezorGcode({"--font", q(font), "--serial", "9..10", "--out",
                                        q(joinPath(dir, "s{N:000}.gcode")), q(project)});
    EXPECT_EQ(numbers.status, 0) << numbers.err;
    EXPECT_EQ(numbers.out, joinPath(dir, "s009.gcode") + "\n" + joinPath(dir, "s010.gcode") + "\n");

    const Outcome grid = vezorGcode(
        {"--font", q(font), "--serial", "1..3", "--grid", "2", "--pitch", "40,20", q(project)});
    EXPECT_EQ(grid.status, 0) << grid.err;
    EXPECT_NE(grid.out.find("G1X42.5Y-10\r\n"), std::string::npos) << "plate 2 is 40 mm right";
    EXPECT_NE(grid.out.find("G1X2.5Y-30\r\n"), std::string::npos) << "plate 3 is a row lower";
    EXPECT_EQ(vezorGcode({"--serial", "1..3", q(project)}).status, 1) << "no --out pattern";

    // A folder that is not there is named once, before any plate is made; one
    // that a field names is named by each plate's message.
    const std::string gone = joinPath(dir, "gone");
    const Outcome noFolder = vezorGcode({"--font", q(font), "--serial", "1..2", "--out",
                                         q(joinPath(gone, "s{N}.gcode")), q(project)});
    EXPECT_EQ(noFolder.status, 1);
    EXPECT_EQ(
        noFolder.err,
        "Папки " + gone + " нет: файлы не записаны. Создайте её или укажите в --out другую\n");
    const Outcome fieldFolder = vezorGcode({"--font", q(font), "--serial", "1..1", "--out",
                                            q(joinPath(dir, "{N}/s.gcode")), q(project)});
    EXPECT_EQ(fieldFolder.status, 1);
    EXPECT_EQ(fieldFolder.err, "Номер 1: Не удалось записать файл " + joinPath(dir, "1/s.gcode") +
                                   ": папки " + joinPath(dir, "1") +
                                   " нет\nЗаписано файлов: 0 из 1\n");
    EXPECT_FALSE(std::filesystem::exists(gone));
}

}  // namespace
