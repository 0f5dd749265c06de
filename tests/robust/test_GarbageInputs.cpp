// Files that are not what the user meant to open, and settings someone edited
// by hand: each is read into a result or refused with a message, never a crash.
#include <gtest/gtest.h>

#include <QDir>
#include <cmath>
#include <filesystem>

#include "../main/TestFont.h"
#include "RobustSupport.h"
#include "TestSupport.h"
#include "font/FontStorage.h"
#include "gcode/GCodeReader.h"
#include "lib/EventPump.h"
#include "lib/MachiningSettings.h"
#include "lib/ProgramFolder.h"
#include "lib/TagData.h"
#include "lib/cls_PropertyHTML.h"
#include "main/Layout.h"
#include "main/ProjectFile.h"
#include "main/ui/frmGCode.h"

namespace {

constexpr std::size_t kMegabyte = 1u << 20;

std::string garbageFile(const std::string& name, const std::string& bytes) {
    const std::string path = joinPath(testProgramFolder(), name);
    writeFile(path, bytes);
    return path;
}

TEST(GarbageInputs, BinaryFileAsAProject) {
    writeTestFont();
    EventPump pump;
    const std::string garbage = garbageBytes(kMegabyte, 1);
    EXPECT_THROW(ReadProjectFile(garbageFile("garbage.txt", garbage), pump), NotAProjectError);

    // Garbage below four good parameter lines is text to write: control
    // characters and the one letter the font lacks are reported, the rest drawn.
    const std::string tail = garbageBytes(64 * 1024, 2);
    const Project project = ReadProjectFile(
        garbageFile("half.txt", "4.97//\r\n100//\r\n4.4//\r\n0.75//\r\n" + tail), pump);
    Stopwatch clock;
    const LayoutResult laid = LayOutProject(project, kTestFont, MachiningSettings{});
    EXPECT_GT(laid.points->count(), 1000u);
    for (std::size_t i = 1; i <= laid.points->count(); ++i) {
        const PenPoint& p = (*laid.points)[i];
        ASSERT_TRUE(std::isfinite(p.X) && std::isfinite(p.Y) && std::isfinite(p.Z)) << i;
    }
    ASSERT_FALSE(laid.messages.empty());
    // The one code Windows-1251 leaves undefined stands for no known character.
    for (const std::string& message : laid.messages)
        ASSERT_TRUE(message == MissingLetterMessage(static_cast<unsigned char>(message[7])) ||
                    message == MissingCharacterMessage(kUnknownCharacter))
            << message;
    EXPECT_LT(clock.seconds(), kSecondsCeiling);
}

TEST(GarbageInputs, BinaryFileAsGCode) {
    EventPump pump;
    PenPoints points;
    ViewBounds bounds;
    try {
        ReadGCodeFile(garbageFile("garbage.gcode", garbageBytes(kMegabyte, 3)), points, bounds,
                      pump);
        ADD_FAILURE() << "random bytes read as G-code";
    } catch (const GCodeReadError& e) {
        EXPECT_LT(e.message().size(), 300u);
        EXPECT_EQ(points.line(points.count()), e.line());
    }
    // Binary bytes without axis letters are lines of nothing but 0, 0, 0.
    std::string noAxes = garbageBytes(kMegabyte, 4);
    for (char& c : noAxes)
        if (std::string_view("XYZxyz").find(c) != std::string_view::npos) c = '#';
    ReadGCodeFile(garbageFile("noaxes.gcode", noAxes), points, bounds, pump);
    EXPECT_GT(points.count(), 1000u);
    EXPECT_EQ(bounds, ViewBounds{});
}

TEST(GarbageInputs, MainWindowTellsTheUserAndKeepsWhatItShows) {
    frmGCode window(testSession());
    const auto before = std::make_shared<PenPoints>();
    testSession().penPoints() = before;
    window.LoadProject(garbageFile("garbage.txt", garbageBytes(kMegabyte, 1)));
    EXPECT_EQ(
        testDialogs().messagesUtf8(),
        std::vector<std::string>{"Файл не является проектом\r\nЭто двоичный файл, а не текст."});
    EXPECT_EQ(testSession().penPoints(), before);

    testDialogs().reset();
    window.ReadGCodeFile(garbageFile("garbage.gcode", garbageBytes(kMegabyte, 3)));
    ASSERT_EQ(testDialogs().calls.size(), 1u);
    EXPECT_TRUE(
        testDialogs().messagesUtf8()[0].starts_with("Файл не читается как программа VEzor."));
    EXPECT_LT(testDialogs().calls[0].text.size(), 300u);
    EXPECT_EQ(window.DrawMode, DrawingMode::None);
}

TEST(GarbageInputs, BinaryFileAsALetterOrAPage) {
    const std::string garbage = garbageBytes(kMegabyte, 5);
    const std::string letter = garbageFile("font/G/65", garbage);
    for (const std::string& line : ReadLetterLines(letter)) {
        double x = 0;
        double y = 0;
        ParsePointLine(line, x, y);
        ASSERT_TRUE(std::isfinite(x) && std::isfinite(y)) << line;
    }

    garbageFile("garbage.htm", garbage);
    cls_PropertyHTML page;
    page.Load("garbage.htm");
    ASSERT_TRUE(page.FailHTMLLoad());
    readEveryPageProperty(page);
    EXPECT_TRUE(testDialogs().calls.empty());
}

TEST(GarbageInputs, TagDataOnGarbageGivesATextOrANamedRefusal) {
    const std::string text = garbageBytes(64 * 1024, 6);
    for (std::size_t position : {0u, 1u, 1000u, 65536u, 65537u, 1000000u}) {
        for (const auto& [open, close] : {std::pair<std::string, std::string>{"<@", ">"},
                                          {"", ""},
                                          {text.substr(100, 2), text.substr(50, 1)}}) {
            try {
                EXPECT_NE(text.find(tagdata::TEG_Data(text, open, close, position)),
                          std::string::npos);
            } catch (const InvalidCallError&) {
            }
            try {
                EXPECT_NE(text.find(tagdata::TEG_TegDataTeg(text, open, close, position)),
                          std::string::npos);
            } catch (const InvalidCallError&) {
            }
            try {
                EXPECT_LE(tagdata::TEG_Data_Del(text, open, close, position).size(), text.size());
            } catch (const InvalidCallError&) {
            }
        }
    }
}

TEST(GarbageInputs, SettingsThatAreNoNumbersGetTheirNoticesAndDefaults) {
    testSettings().values = {
        {"ZBezop", "five"}, {"ZBezopS", "1,5,2"}, {"SkorF", "500.00"}, {"NoRazriv", "yes"}};
    testSession().machiningSettings() = MachiningSettings{1, 2, "9", 1};
    testSession().machiningSettings() = LoadSettings();
    const MachiningSettings& s = testSession().machiningSettings();
    EXPECT_EQ(s.ZBezop, 5.0);
    EXPECT_EQ(s.ZBezopS, 15.0);
    EXPECT_EQ(s.NoRazriv, 0);
    ASSERT_EQ(testDialogs().calls.size(), 1u) << "one box for the three";
    EXPECT_EQ(testDialogs().calls[0].title, "VEzor");
    EXPECT_EQ(testSettings().values["ZBezop"], "5");
    EXPECT_EQ(testSettings().values["ZBezopS"], "15");
    EXPECT_EQ(testSettings().values["NoRazriv"], "0");

    // Values no double or 16-bit flag holds count as no numbers either.
    testDialogs().reset();
    testSettings().values = {{"ZBezop", "1e999"},
                             {"ZBezopS", std::string(100000, '9')},
                             {"SkorF", "500.00"},
                             {"NoRazriv", "99999999999"}};
    testSession().machiningSettings() = LoadSettings();
    EXPECT_EQ(s.ZBezop, 5.0);
    EXPECT_EQ(s.ZBezopS, 15.0);
    EXPECT_EQ(s.NoRazriv, 0);
    EXPECT_EQ(testDialogs().calls.size(), 1u);
}

}  // namespace
