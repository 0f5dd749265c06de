// The programs of the shipped profiles through the controllers' own parsers:
// GRBL 1.1's (grbl-check, built from the shared source on first use) and
// LinuxCNC's interpreter (rs274). Skipped with a message where a tool is
// missing (failed where tools are required); the time estimate is held to
// GRBL's own figures kept here when grbl-plan-time is missing.
#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "TestSupport.h"
#include "gcode/GCodeEstimate.h"
#include "gcode/GCodeWriter.h"
#include "gcode/InterpretedEstimate.h"
#include "gcode/InterpretedReader.h"
#include "lib/ProgramFolder.h"
#include "lib/TextFile.h"
#include "lib/Win1251.h"
#include "main/Layout.h"
#include "main/ProjectFile.h"
#include "main/TestFont.h"

namespace {

struct ToolResult {
    int status = -1;
    std::string out;
};

ToolResult run(const QString& program, const QStringList& args, int seconds = 600) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    ToolResult r;
    if (!p.waitForStarted() || !p.waitForFinished(seconds * 1000)) return r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = p.readAll().toStdString();
    return r;
}

// The shared GRBL tools: $VEZOR_GRBL_TOOLS, or shared/tools/grbl beside the
// repository (or beside the folder of its worktrees).
std::string grblTool(const std::string& name) {
    std::vector<std::string> folders;
    if (const char* env = std::getenv("VEZOR_GRBL_TOOLS")) folders.emplace_back(env);
    folders.push_back(VEZOR_SOURCE_DIR "/../shared/tools/grbl");
    folders.push_back(VEZOR_SOURCE_DIR "/../../shared/tools/grbl");
    for (const std::string& folder : folders)
        if (std::filesystem::exists(folder + "/" + name)) return folder + "/" + name;
    return {};
}

std::shared_ptr<PenPoints> templatePoints() {
    writeTestFont();
    EventPump none;
    const Project project = ParseProject(textfile::joinCrLf(ProjectTemplateLines()), none);
    return LayOutProject(project, kTestFont, MachiningSettings{}).points;
}

std::string writeProgram(const GCodeProfile& profile, const PenPoints& points) {
    const std::string path = joinPath(testProgramFolder(), "t" + profile.extension);
    WriteGCodeFile(path, points, "500.00", profile);
    return path;
}

TEST(GCodeMachines, GrblTakesEveryLineOfItsProfiles) {
    const std::string check = grblTool("grbl-check");
    if (check.empty()) SKIP_WITHOUT_TOOL("grbl-check not found (set VEZOR_GRBL_TOOLS)");
    const auto points = templatePoints();
    for (const char* name : {"GRBL", "Servo pen", "Laser"}) {
        const ToolResult r =
            run(QString::fromStdString(check),
                {QString::fromStdString(writeProgram(FindProfile(name), *points))});
        if (r.status == 2) SKIP_WITHOUT_TOOL("grbl-check cannot build GRBL (gcc, make): " << r.out);
        EXPECT_EQ(r.status, 0) << name << ": " << r.out;
    }
}

TEST(GCodeMachines, LinuxCncInterpreterTakesItsProfiles) {
    const QString rs274 = QStandardPaths::findExecutable("rs274");
    if (rs274.isEmpty()) SKIP_WITHOUT_TOOL("rs274 not installed (Debian package linuxcnc-uspace)");
    const auto points = templatePoints();
    for (const char* name : {"LinuxCNC", "Mach3"}) {
        const ToolResult r = run(
            rs274,
            {"-g", QString::fromStdString(writeProgram(FindProfile(name), *points)), "/dev/null"});
        EXPECT_EQ(r.status, 0) << name << ": " << r.out;
        for (const char* bad : {"error", "Error", "Unknown", "unknown"})
            EXPECT_EQ(r.out.find(bad), std::string::npos) << name << ": " << r.out;
    }
}

// A plate with what plates add: mirrored, a bold line, a fitted line and a code.
std::shared_ptr<PenPoints> platePoints() {
    EventPump none;
    MachiningSettings settings;
    settings.Mirror = true;
    const Project project =
        ParseProject("6//a\r\n60//b\r\n5//c\r\n1//d\r\n<@BOLD=3>" + cp("Кольцо") + "\r\n<@FIT=20>" +
                         cp("Длинная надпись") + "\r\n<@QR=VEzor;12>\r\n",
                     none);
    return LayOutProject(project, VEZOR_SOURCE_DIR "/resources/font/A-Chertezh", settings).points;
}

TEST(GCodeMachines, PlatesMirroredBoldAndOnARotaryAxisPassBothParsers) {
    const auto points = platePoints();
    const std::string check = grblTool("grbl-check");
    const QString rs274 = QStandardPaths::findExecutable("rs274");
    if (check.empty() || rs274.isEmpty()) {
        if (toolsRequired()) GTEST_FAIL() << "grbl-check or rs274 missing (VEZOR_REQUIRE_TOOLS=1)";
        if (check.empty() && rs274.isEmpty())
            GTEST_SKIP()
                << "neither grbl-check (VEZOR_GRBL_TOOLS) nor rs274 (linuxcnc-uspace) found";
    }
    for (const double diameter : {0.0, 40.0}) {
        for (const char* name : {"GRBL", "Laser"}) {
            if (check.empty()) break;
            GCodeProfile profile = FindProfile(name);
            profile.rotaryDiameter = diameter;
            const ToolResult r = run(QString::fromStdString(check),
                                     {QString::fromStdString(writeProgram(profile, *points))});
            if (r.status == 2) SKIP_WITHOUT_TOOL("grbl-check cannot build GRBL: " << r.out);
            EXPECT_EQ(r.status, 0) << name << " " << diameter << ": " << r.out;
        }
        for (const char* name : {"LinuxCNC", "Mach3"}) {
            if (rs274.isEmpty()) break;
            GCodeProfile profile = FindProfile(name);
            profile.rotaryDiameter = diameter;
            const ToolResult r = run(
                rs274, {"-g", QString::fromStdString(writeProgram(profile, *points)), "/dev/null"});
            EXPECT_EQ(r.status, 0) << name << ": " << r.out;
            for (const char* bad : {"error", "Error", "Unknown", "unknown"})
                EXPECT_EQ(r.out.find(bad), std::string::npos) << name << ": " << r.out;
        }
    }
}

// A long text in a shipped font: a pangram of 1,400 lines of program, and a
// door plate of large letters.
std::shared_ptr<PenPoints> longTextPoints(const std::string& lines, const GCodeProfile& profile) {
    EventPump none;
    const Project project = ParseProject(lines, none);
    return LayOutProject(project, VEZOR_SOURCE_DIR "/resources/font/A-Chertezh",
                         SettingsForProfile(MachiningSettings{}, profile))
        .points;
}

// The program as GRBL takes it: without the tool change and LinuxCNC's path
// blending, which no motion depends on.
std::string withoutWordsGrblRefuses(const std::string& program) {
    std::string kept;
    std::size_t at = 0;
    while (at < program.size()) {
        std::size_t end = program.find('\n', at);
        if (end == std::string::npos) end = program.size() - 1;
        std::string line = program.substr(at, end + 1 - at);
        at = end + 1;
        std::string bare = line;
        std::erase_if(bare, [](char c) { return c == ' ' || c == '\r' || c == '\n'; });
        if (bare == "T1M6") continue;
        if (const std::size_t g64 = line.find(" G64"); g64 != std::string::npos)
            line = line.substr(0, g64) + "\n";
        kept += line;
    }
    return kept;
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", value);
    return text;
}

// Other programs' files, written as CAM, laser and plotter software writes
// them. A pocket in inches: rings of arcs by centre around four spots, each
// spot plunged and left after a dwell, the spindle's start waited for.
std::string inchPocket() {
    std::string t = "(pocket)\nG20 G90 G17 G94\nG0 Z0.2\nM3 S12000\nG4 P1.5\n";
    for (int spot = 0; spot < 4; ++spot) {
        const double x = 0.6 + spot * 1.1;
        const double y = 0.8;
        t += "G0 X" + number(x + 0.05) + " Y" + number(y) + "\nG1 Z-0.02 F10\n";
        for (int ring = 1; ring <= 8; ++ring) {
            const double r = 0.05 * ring;
            t += "G1 X" + number(x + r) + " F25\n";
            t += "G3 X" + number(x - r) + " Y" + number(y) + " I" + number(-r) + " J0\n";
            t += "G3 X" + number(x + r) + " Y" + number(y) + " I" + number(r) + " J0\n";
        }
        t += "G4 P0.25\nG0 Z0.2\n";
    }
    return t + "M5\nG0 X0 Y0\nM30\n";
}

// A rounded rectangle by radius, incremental, six laps stepping down.
std::string incrementalContour() {
    std::string t = "G21 G90 G17\nG0 Z3\nG0 X10 Y5\nM3 S10000\nG1 Z-0.5 F150\nG91\n";
    for (int lap = 0; lap < 6; ++lap)
        t += "G1 X40 F600\nG3 X5 Y5 R5\nG1 Y20\nG3 X-5 Y5 R5\nG1 X-40\nG3 X-5 Y-5 R5\n"
             "G1 Y-20\nG3 X5 Y-5 R5\nG1 Z-0.2 F150\n";
    return t + "G90\nG0 Z3\nM5\nG4 P2\nM30\n";
}

// A laser's holes: full circles in a grid, pierced with a dwell, power by S.
std::string laserCircles() {
    std::string t = "G21 G90\nM4 S0\n";
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 5; ++j) {
            const double x = 10 + i * 15;
            const double y = 10 + j * 15;
            const double r = 2 + (i + j) % 4;
            t += "G0 X" + number(x + r) + " Y" + number(y) + "\nS800\nG4 P0.1\nG2 X" +
                 number(x + r) + " Y" + number(y) + " I" + number(-r) + " J0 F" +
                 std::to_string(300 + 40 * j) + "\nS0\n";
        }
    return t + "M5\nM2\n";
}

// A helix down in five turns, rows of small arcs in G18 and G19, and a wave of
// short moves.
std::string helixAndPlanes() {
    std::string t = "G21 G90 G17\nG0 X20 Y20 Z5\nG1 Z0 F200\n";
    for (int turn = 1; turn <= 5; ++turn)
        t += "G2 X20 Y20 Z" + number(-0.4 * turn) + " I5 J0 F400\n";
    t += "G0 Z5\nG18\nG0 X0 Y40 Z0\n";
    for (int k = 1; k <= 20; ++k) t += "G2 X" + number(2 * k) + " Z0 I1 K0 F300\n";
    t += "G19\nG0 X50 Y0 Z0\n";
    for (int k = 1; k <= 20; ++k) t += "G3 Y" + number(3 * k) + " Z0 R1.6\n";
    t += "G17\n";
    for (int k = 0; k < 200; ++k)
        t += "G1 X" + number(60 + 0.1 * k) + " Y" + number(0.2 * std::sin(k * 0.3)) + "\n";
    return t + "M30\n";
}

// GRBL 1.1h's own planner and stepper code on each program below, in seconds,
// as grbl-plan-time measured it (GRBL's default settings).
const std::map<std::string, double> kGrblSeconds = {
    {"VEzor, pangram", 427.191},
    {"VEzor, door plate", 196.508},
    {"GRBL, pangram", 533.823},
    {"GRBL, door plate", 200.645},
    {"LinuxCNC, pangram", 533.823},
    {"LinuxCNC, door plate", 200.645},
    {"Mach3, pangram", 533.823},
    {"Mach3, door plate", 200.645},
    {"Servo pen, pangram", 364.988},
    {"Servo pen, door plate", 177.642},
    {"Laser, pangram", 336.134},
    {"Laser, door plate", 168.038},
    {"inch pocket", 211.177},
    {"contour", 118.966},
    {"laser", 233.255},
    {"helix", 101.944},
};

// The estimate against GRBL 1.1h's own planner and stepper code, run by
// grbl-plan-time in milliseconds: long programs of every shipped profile
// within 0.3 % (as the program's header, the window's figures of the file read
// word by word and those of the interpreter give it), and other programs'
// files with arcs, helices, dwells, inches and incremental moves within 1 %.
// Without grbl-plan-time, against GRBL's figures kept above; with it, these
// must still be GRBL's.
TEST(GCodeMachines, EstimateAgreesWithGrblsPlannerOnLongPrograms) {
    std::string planTime = grblTool("grbl-plan-time");
    if (planTime.empty() && toolsRequired())
        GTEST_FAIL() << "grbl-plan-time not found (set VEZOR_GRBL_TOOLS)";
    int runs = 0;
    const auto grblSeconds = [&](const std::string& name, const std::string& program) {
        const auto kept = kGrblSeconds.find(name);
        EXPECT_NE(kept, kGrblSeconds.end()) << name << ": no figure kept";
        const double stored = kept == kGrblSeconds.end() ? 0.0 : kept->second;
        if (planTime.empty()) return stored;
        const std::string path =
            joinPath(testProgramFolder(), "time" + std::to_string(runs++) + ".nc");
        textfile::writeAtomically(path, program);
        const ToolResult r = run(QString::fromStdString(planTime), {QString::fromStdString(path)});
        if (r.status == 2) {
            EXPECT_FALSE(toolsRequired()) << "grbl-plan-time cannot build GRBL: " << r.out;
            planTime.clear();
            return stored;
        }
        EXPECT_EQ(r.status, 0) << r.out;
        const double measured = r.status == 0 ? std::stod(r.out) : 0.0;
        char line[160];
        std::snprintf(line, sizeof line, "    {\"%s\", %.3f},", name.c_str(), measured);
        EXPECT_NEAR(stored, measured, 0.0005 * measured) << "GRBL's figure now:\n" << line;
        return measured;
    };
    const auto interpreted = [](const std::string& program, const MachineLimits& limits) {
        PenPoints points;
        ViewBounds bounds;
        EventPump none;
        const InterpretedRead read = InterpretGCodeText(program, points, bounds, none);
        EXPECT_TRUE(read.skipped.empty());
        return EstimateInterpretedText(program, limits, read.cutRule).seconds;
    };
    const std::pair<const char*, std::string> texts[] = {
        {"pangram", "4.97//a\r\n100//b\r\n4.4//c\r\n0.75//d\r\n" +
                        cp("Съешь же ещё этих мягких французских булок, да выпей чаю.\r\n") +
                        "The quick brown fox jumps over the lazy dog. 0123456789\r\n"},
        {"door plate",
         "10//a\r\n200//b\r\n20//c\r\n0.8//d\r\n" + cp("Кабинет 214\r\nДиректор\r\n")}};
    for (const GCodeProfile& profile : ShippedProfiles()) {
        for (const auto& [kind, text] : texts) {
            const auto points = longTextPoints(text, profile);
            const std::string program = BuildGCodeProgram(*points, "500.00", profile);
            const double grbl =
                grblSeconds(profile.name + ", " + kind, withoutWordsGrblRefuses(program));
            const MachineLimits limits = LimitsOf(profile);
            for (const double estimate :
                 {EstimateProgram(*points, "500.00", profile).seconds,
                  EstimateGCodeText(program, limits).seconds, interpreted(program, limits)})
                EXPECT_NEAR(estimate, grbl, 0.003 * grbl) << profile.name << ", " << grbl;
        }
    }
    for (const auto& [name, program] :
         {std::pair{"inch pocket", inchPocket()}, std::pair{"contour", incrementalContour()},
          std::pair{"laser", laserCircles()}, std::pair{"helix", helixAndPlanes()}}) {
        const double grbl = grblSeconds(name, program);
        EXPECT_NEAR(interpreted(program, MachineLimits{}), grbl, 0.01 * grbl) << name;
    }
}

// A controller keeps whole steps and rounds a half step away from zero: at 250
// steps/mm a move to X0.002 is one step (0.004 mm, 0.04 s from rest to rest at
// 10 mm/s²), one to X0.0019 none, which the planner drops.
TEST(GCodeEstimate, AMoveOfHalfAStepIsOneStep) {
    const MachineLimits limits;
    ASSERT_EQ(limits.stepsPerMm, 250);
    EXPECT_NEAR(EstimateGCodeText("G21G90\nG1X0.002F500\n", limits).seconds, 0.04, 1e-9);
    EXPECT_NEAR(EstimateGCodeText("G21G90\nG1X-0.002F500\n", limits).seconds, 0.04, 1e-9);
    EXPECT_EQ(EstimateGCodeText("G21G90\nG1X0.0019F500\n", limits).seconds, 0);
}

}  // namespace
