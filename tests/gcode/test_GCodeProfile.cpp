#include <gtest/gtest.h>

#include <cstdlib>
#include <numbers>

#include "GoldenTemplate.h"
#include "TestSupport.h"
#include "gcode/GCodeEstimate.h"
#include "gcode/GCodeProfile.h"
#include "gcode/GCodeWriter.h"
#include "lib/TextFile.h"
#include "lib/Win1251.h"
#include "main/Layout.h"
#include "main/ProjectFile.h"
#include "main/TestFont.h"

namespace {

PenPoints list(std::initializer_list<PenPoint> records) {
    PenPoints points;
    for (const PenPoint& p : records) points.append(p, "");
    return points;
}

std::string utf8(const std::string& cp1251) { return win1251::toUtf8(cp1251); }

// The template laid out with the test font, one file per shipped profile, so
// that any change of a profile's program shows. VEZOR_REGENERATE_GOLDEN=1
// rewrites them.
TEST(GCodeProfiles, TemplateGoldenFilePerProfile) {
    writeTestFont();
    EventPump none;
    const Project project = ParseProject(goldenTemplateText(), none);
    const auto points = LayOutProject(project, kTestFont, MachiningSettings{}).points;
    for (const GCodeProfile& profile : ShippedProfiles()) {
        if (profile.name == "VEzor") continue;  // test_GCodeWriter's own golden file
        std::string name = profile.name;
        for (char& c : name) c = c == ' ' ? '-' : c;
        const std::string golden =
            VEZOR_TEST_DATA_DIR "/gcode/template." + name + profile.extension;
        const std::string program = BuildGCodeProgram(*points, "500.00", profile);
        if (std::getenv("VEZOR_REGENERATE_GOLDEN")) writeFile(golden, program);
        EXPECT_TRUE(program == readFile(golden)) << golden << " differs";
    }
}

TEST(GCodeProfiles, DepthPassesAndInches) {
    GCodeProfile p = FindProfile("grbl");
    ASSERT_EQ(p.name, "GRBL");
    p.comments = false;
    p.depth = -0.5;
    p.passes = 2;
    p.depthStep = 0.3;
    p.plungeFeed = 254;
    p.inches = true;
    EXPECT_EQ(BuildGCodeProgram(list({{25.4, -12.7, 0}, {50.8, -1, 0}, {0, 0, 5}}), "508", p),
              "G20G90G17\nG0Z0.1969\nM3S10000\n"
              "G0X1Y-0.5\nG1Z-0.0118F10\nG1X1Y-0.5F20\nG1X2Y-0.0394F20\nG0Z0.1969\n"
              "G0X1Y-0.5\nG1Z-0.0197F10\nG1X1Y-0.5F20\nG1X2Y-0.0394F20\nG0Z0.1969\n"
              "G0Z0.1969\nM5\nM30\n");
    // The passes go down by the step and the last stops at the depth: never deeper.
    const auto depths = [](double depth, int passes, double step) {
        GCodeProfile q;
        q.depth = depth;
        q.passes = passes;
        q.depthStep = step;
        std::vector<double> out;
        for (int pass = 0; pass < passes; ++pass) out.push_back(PassDepth(q, pass));
        return out;
    };
    EXPECT_EQ(depths(-0.3, 2, 0.15), (std::vector<double>{-0.15, -0.3}));
    EXPECT_EQ(depths(-0.3, 2, 0.2), (std::vector<double>{-0.2, -0.3}));  // the last is shorter
    EXPECT_EQ(depths(-0.3, 3, 0.2), (std::vector<double>{-0.2, -0.3, -0.3}));
    EXPECT_EQ(depths(-0.3, 2, 0), (std::vector<double>{-0.3, -0.3}));
    EXPECT_EQ(depths(-0.3, 1, 0.15), (std::vector<double>{-0.3}));
    // Inches need a feed that is a number.
    EXPECT_THROW(BuildGCodeProgram(list({{}, {1, 1, 0}}), "fast", p), ProfileError);
}

TEST(GCodeProfiles, RotaryAxisWritesDegreesAndTheFeedOfTheSurfaceSpeed) {
    // A diameter of 180 / pi mm: two degrees a millimetre of surface.
    const PenPoints points =
        list({{10, -5, 0}, {10, -15, 0}, {13, -11, 0}, {0, 0, 5}, {20, -2, 0}, {0, 0, 15}});
    GCodeProfile p = FindProfile("LinuxCNC");
    p.comments = false;
    p.rotaryDiameter = 180 / std::numbers::pi;
    const std::string program = BuildGCodeProgram(points, "500", p);
    EXPECT_NE(program.find("G0 X10 A-10\nG1 Z0.000 F100\nG1 X10 A-10 F500\n"), std::string::npos)
        << "no move: the feed itself";
    // Along Y only the axis turns twice as far: twice the feed keeps the surface speed.
    EXPECT_NE(program.find("G1 X10 A-30 F1000\n"), std::string::npos) << program;
    // 3 and 4 mm on the surface are 3 mm and 8 degrees: 500 * sqrt(73) / 5.
    EXPECT_NE(program.find("G1 X13 A-22 F854.4\n"), std::string::npos) << program;
    EXPECT_NE(program.find("G0 X20 A-4\n"), std::string::npos) << program;

    // VEzor's line moves carry no feed of their own: one is added; GRBL has Y only.
    GCodeProfile own = DefaultProfile();
    own.rotaryDiameter = p.rotaryDiameter;
    EXPECT_NE(BuildGCodeProgram(points, "500.00", own).find("G1X10A-30F1000\r\n"),
              std::string::npos);
    GCodeProfile grbl = FindProfile("GRBL");
    grbl.comments = false;
    grbl.rotaryDiameter = p.rotaryDiameter;
    EXPECT_NE(BuildGCodeProgram(points, "500", grbl).find("G1X10Y-30F1000\n"), std::string::npos);
    EXPECT_THROW(BuildGCodeProgram(points, "fast", grbl), ProfileError);
    grbl.rotaryDiameter = 0;
    EXPECT_EQ(BuildGCodeProgram(points, "500", grbl).find("F1000"), std::string::npos);
}

// The figures are worked out from the records, not from the text: they must be
// those of the program written out and read back, whatever the profile does.
TEST(GCodeProfiles, FiguresFromTheRecordsAreThoseOfTheProgram) {
    writeTestFont();
    EventPump none;
    const Project project = ParseProject(textfile::joinCrLf(ProjectTemplateLines()), none);
    PenPoints points = *LayOutProject(project, kTestFont, MachiningSettings{}).points;
    // Heights and coordinates that are not whole hundredths, a record read from a file.
    for (const PenPoint& p : {PenPoint{3.14159, -2.5, 0}, PenPoint{1.0 / 3, -7.25, 0},
                              PenPoint{0, 0, 2.345}, PenPoint{4, -1, -0.5}, PenPoint{5, -1, 0}})
        points.append(p, "");
    // Enough records that the figures are planned batch after batch, passes apart.
    for (int i = 0; i < 6000; ++i)
        points.append(i % 10 == 9 ? PenPoint{0, 0, 2} : PenPoint{1 + i % 7 * 0.25, -1.5 - i % 3, 0},
                      "");
    std::vector<GCodeProfile> profiles = ShippedProfiles();
    GCodeProfile inches = FindProfile("GRBL");
    inches.inches = true;
    inches.passes = 2;
    inches.depthStep = 0.3;
    profiles.push_back(inches);
    GCodeProfile odd = FindProfile("LinuxCNC");  // numbers the lines do not move to
    odd.line = "G1 X{X} Y{Y} F{F} (at {X})";
    odd.penUp = "G0 Z{LIFT}\nG4 P0.5\nG91 G0 X{LIFT}\nG90";
    profiles.push_back(odd);
    for (const GCodeProfile& profile : profiles) {
        GCodeProfile plain = profile;
        plain.comments = false;
        const MachiningFigures read =
            EstimateGCodeText(BuildGCodeProgram(points, "500.00", plain), LimitsOf(profile));
        const MachiningFigures figures = EstimateProgram(points, "500.00", profile);
        EXPECT_EQ(figures.writingMm, read.writingMm) << profile.name;
        EXPECT_EQ(figures.travelMm, read.travelMm) << profile.name;
        EXPECT_EQ(figures.lifts, read.lifts) << profile.name;
        EXPECT_EQ(figures.seconds, read.seconds) << profile.name;
    }
}

TEST(GCodeProfiles, UserProfilesAreCheckedStoredAndFoundAgain) {
    GCodeProfile mine = FindProfile("Laser");
    mine.name = w("Мой лазер");
    mine.spindle = 300;
    mine.penDown = "S{S}\nG4P0.1";
    StoreUserProfile(mine);
    ChooseProfile(w("Мой лазер"));
    std::vector<std::string> messages;
    const GCodeProfile back = ChosenProfile(&messages);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(ProfileToText(back), ProfileToText(mine));
    EXPECT_EQ(AvailableProfiles().size(), ShippedProfiles().size() + 1);

    // Each bad value is told in Russian and nothing is stored.
    const std::string stored = testSettings().values["Profili"];
    const std::pair<void (*)(GCodeProfile&), const char*> bad[] = {
        {[](GCodeProfile& p) { p.plungeFeed = 0; }, "plunge_feed: должно быть положительным"},
        {[](GCodeProfile& p) { p.line = "G1X{X}Y{Y}\nM5"; }, "line: должна быть одна строка"},
        {[](GCodeProfile& p) { p.name = "a\nb"; }, "имя должно быть одной строкой"},
        {[](GCodeProfile& p) { p.penUp = "G0Z{HEIGHT}"; }, "неизвестное имя"},
        {[](GCodeProfile& p) { p.extension = "nc"; }, "расширение файла"},
        {[](GCodeProfile& p) { p.name = "grbl"; }, "поставляемого профиля"},
    };
    for (const auto& [spoil, expected] : bad) {
        GCodeProfile p = mine;
        spoil(p);
        try {
            StoreUserProfile(p);
            ADD_FAILURE() << expected;
        } catch (const ProfileError& e) {
            EXPECT_NE(utf8(e.message()).find(expected), std::string::npos) << utf8(e.message());
        }
        EXPECT_EQ(testSettings().values["Profili"], stored);
    }
    EXPECT_THROW(ProfileFromText("name=x\nextension=.nc\nfeed=fast"), ProfileError);
    EXPECT_THROW(ProfileFromText("name=x\nextension=.nc\npasses=2.5"), ProfileError);
}

TEST(GCodeProfiles, AStoredProfileThatNoLongerReadsGivesAMessageAndTheDefault) {
    GCodeProfile old = FindProfile("GRBL");
    old.name = "Old";
    std::string text = ProfileToText(old);
    text.replace(text.find("plunge_feed=100"), 15, "plunge_feed=-5");
    testSettings().values["Profili"] = text;
    testSettings().values["Profil"] = "Old";
    std::vector<std::string> messages;
    EXPECT_EQ(ChosenProfile(&messages).name, "VEzor");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(utf8(messages[0]).find("Профиль «Old»: plunge_feed"), std::string::npos)
        << utf8(messages[0]);
    EXPECT_EQ(utf8(messages[1]),
              "Профиль «Old» не найден или не читается: используется профиль VEzor");
    EXPECT_EQ(AvailableProfiles().size(), ShippedProfiles().size());
}

}  // namespace
