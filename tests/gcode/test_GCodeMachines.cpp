// The programs of the shipped profiles through the controllers' own parsers:
// GRBL 1.1's (grbl-check, built from the shared source on first use) and
// LinuxCNC's interpreter (rs274). Skipped with a message where a tool is missing.
#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <cstdlib>
#include <filesystem>
#include <future>

#include "TestSupport.h"
#include "gcode/GCodeEstimate.h"
#include "gcode/GCodeWriter.h"
#include "lib/ProgramFolder.h"
#include "lib/TextFile.h"
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

}  // namespace
