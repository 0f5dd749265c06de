// The programs of the shipped profiles through the controllers' own parsers:
// GRBL 1.1's (grbl-check, built from the shared source on first use) and
// LinuxCNC's interpreter (rs274). Skipped with a message where a tool is missing.
#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <future>

#include "TestSupport.h"
#include "gcode/GCodeEstimate.h"
#include "gcode/GCodeWriter.h"
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
    if (check.empty()) GTEST_SKIP() << "grbl-check not found (set VEZOR_GRBL_TOOLS)";
    const auto points = templatePoints();
    for (const char* name : {"GRBL", "Servo pen", "Laser"}) {
        const ToolResult r =
            run(QString::fromStdString(check),
                {QString::fromStdString(writeProgram(FindProfile(name), *points))});
        if (r.status == 2) GTEST_SKIP() << "grbl-check cannot build GRBL (gcc, make): " << r.out;
        EXPECT_EQ(r.status, 0) << name << ": " << r.out;
    }
}

TEST(GCodeMachines, LinuxCncInterpreterTakesItsProfiles) {
    const QString rs274 = QStandardPaths::findExecutable("rs274");
    if (rs274.isEmpty()) GTEST_SKIP() << "rs274 not installed (Debian package linuxcnc-uspace)";
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
    if (check.empty() && rs274.isEmpty())
        GTEST_SKIP() << "neither grbl-check (VEZOR_GRBL_TOOLS) nor rs274 (linuxcnc-uspace) found";
    for (const double diameter : {0.0, 40.0}) {
        for (const char* name : {"GRBL", "Laser"}) {
            if (check.empty()) break;
            GCodeProfile profile = FindProfile(name);
            profile.rotaryDiameter = diameter;
            const ToolResult r = run(QString::fromStdString(check),
                                     {QString::fromStdString(writeProgram(profile, *points))});
            if (r.status == 2) GTEST_SKIP() << "grbl-check cannot build GRBL: " << r.out;
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

// A word of a shipped font, small: two letters 2 mm high.
std::shared_ptr<PenPoints> wordPoints() {
    EventPump none;
    const Project project =
        ParseProject("4.97//a\r\n100//b\r\n2//c\r\n0.75//d\r\n" + cp("ЛИ") + "\r\n", none);
    return LayOutProject(project, VEZOR_SOURCE_DIR "/resources/font/A-Chertezh",
                         MachiningSettings{})
        .points;
}

// The estimate against GRBL's own planner on programs of a few seconds: a right
// angle, a zig-zag of short moves and a word of a shipped font. Each has fewer
// moves than GRBL's planner holds: streaming more, the simulator falls behind on
// a busy computer and runs slower than any machine. grbl-time stops its clock when GRBL has
// prepared the last steps, about a tenth of a second before they run; that much is added.
TEST(GCodeMachines, EstimateWithinThreePercentOfGrblsPlanner) {
    const std::string grblTime = grblTool("grbl-time");
    if (grblTime.empty()) GTEST_SKIP() << "grbl-time not found (set VEZOR_GRBL_TOOLS)";
    std::string zigzag = "G21G90G17\n";
    for (int i = 1; i <= 12; ++i)
        zigzag += "G1X" + std::to_string(0.5 * i) + (i % 2 ? "Y0.4" : "Y0") + "F500\n";
    // Moves only: GRBL's simulator now and then never answers a command that
    // waits for the moves before it (spindle, laser power, program end).
    GCodeProfile moves = FindProfile("Laser");
    moves.start = "{UNITS}G90G17";
    moves.penDown = moves.penUp = moves.end = "";
    const std::vector<std::pair<std::string, std::string>> programs{
        {"right angle", "G21G90G17\nG1X10F500\nG1Y10\n"},
        {"zig-zag", zigzag},
        {"word", BuildGCodeProgram(*wordPoints(), "500.00", moves)}};
    const auto within = [](double estimate, double grbl) {
        return std::abs(estimate - grbl) <= 0.03 * grbl;
    };
    // All at once: each runs about as long as the machine would. A run that
    // stalls or falls behind on a busy computer gets one more try on its own.
    std::vector<std::unique_ptr<QProcess>> runs;
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < programs.size(); ++i) {
        paths.push_back(joinPath(testProgramFolder(), "time" + std::to_string(i) + ".nc"));
        textfile::writeAtomically(paths.back(), programs[i].second);
        runs.push_back(std::make_unique<QProcess>());
        runs.back()->setProcessChannelMode(QProcess::MergedChannels);
        runs.back()->start(QString::fromStdString(grblTime), {QString::fromStdString(paths[i])});
    }
    for (std::size_t i = 0; i < programs.size(); ++i) {
        QProcess& p = *runs[i];
        ToolResult r;
        if (p.waitForFinished(60 * 1000)) {
            r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
            r.out = p.readAll().toStdString();
        } else {
            p.kill();
            p.waitForFinished(1000);
        }
        if (r.status == 2) GTEST_SKIP() << "grbl-time cannot build GRBL (gcc, make): " << r.out;
        const double estimate = EstimateGCodeText(programs[i].second, LimitsOf(moves)).seconds;
        if (r.status != 0 || !within(estimate, std::stod(r.out) + 0.1))
            r = run(QString::fromStdString(grblTime), {QString::fromStdString(paths[i])}, 60);
        if (r.status == -1) GTEST_SKIP() << programs[i].first << ": grbl-time stalled twice";
        ASSERT_EQ(r.status, 0) << programs[i].first << ": " << r.out;
        const double grbl = std::stod(r.out) + 0.1;
        EXPECT_TRUE(within(estimate, grbl))
            << programs[i].first << ": estimate " << estimate << " s, GRBL " << grbl << " s";
        std::printf("%s: estimate %.3f s, GRBL %.3f s\n", programs[i].first.c_str(), estimate,
                    grbl);
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
