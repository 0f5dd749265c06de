// The sender end to end with GRBL 1.1h's own code behind a pseudo-terminal
// (grbl-sim-pty from the shared GRBL tools, which needs socat): a VEzor
// program of a few hundred moves streamed through the real sending core, every
// line acknowledged, the final position, a hold and a resume in the middle, a
// program refused before it moves, and GRBL's own alarm for a move beyond its
// soft limits. Skipped with a message where a tool is missing (a failure
// where VEZOR_REQUIRE_TOOLS is set).
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>

#include "MachineTestSupport.h"
#include "TestSupport.h"
#include "gcode/GCodeWriter.h"
#include "lib/EventPump.h"
#include "lib/Win1251.h"
#include "machine/MachineConnection.h"
#include "machine/ProgramFit.h"
#include "machine/ResumePlan.h"
#include "main/Layout.h"
#include "main/ProjectFile.h"

namespace {

std::string grblSimPty() {
    std::vector<std::string> folders;
    if (const char* env = std::getenv("VEZOR_GRBL_TOOLS")) folders.emplace_back(env);
    folders.push_back(VEZOR_SOURCE_DIR "/../shared/tools/grbl");
    folders.push_back(VEZOR_SOURCE_DIR "/../../shared/tools/grbl");
    for (const std::string& folder : folders)
        if (std::filesystem::exists(folder + "/grbl-sim-pty")) return folder + "/grbl-sim-pty";
    return {};
}

// The simulator built with the mends of grbl-sim-mended.sh (the reason is
// there), once for the suite; empty when it could not be built.
QString mendedTools(const std::string& tool) {
    static const QString folder = [&] {
        QProcess build;
        build.start("bash", {VEZOR_SOURCE_DIR "/tests/machine/grbl-sim-mended.sh",
                             QFileInfo(QString::fromStdString(tool)).absolutePath(),
                             VEZOR_BINARY_DIR "/grbl-tools"});
        build.waitForFinished(600000);
        return build.exitCode() == 0 ? QString::fromUtf8(build.readAllStandardOutput()).trimmed()
                                     : QString();
    }();
    return folder;
}

// grbl-sim-pty running for one test, ended by its own process id.
class SimulatedGrbl {
  public:
    explicit SimulatedGrbl(const std::string& tool) {
        link_ = folder_.filePath("grbl");
        process_.setProcessChannelMode(QProcess::MergedChannels);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("GRBL_TOOLS_DIR", mendedTools(tool));
        process_.setProcessEnvironment(environment);
        process_.start(QString::fromStdString(tool), {link_});
    }
    ~SimulatedGrbl() {
        process_.terminate();
        if (!process_.waitForFinished(5000)) process_.kill();
        process_.waitForFinished(5000);
    }
    // True once the link exists (building GRBL on first use takes a while).
    bool ready() {
        return waitUntil(
                   [&] {
                       return QFileInfo::exists(link_) || process_.state() == QProcess::NotRunning;
                   },
                   240) &&
               QFileInfo::exists(link_);
    }
    QString output() { return QString::fromUtf8(process_.readAll()); }
    const QString& link() const { return link_; }

  private:
    QTemporaryDir folder_;
    QString link_;
    QProcess process_;
};

// A line of a shipped font written for GRBL: a few hundred short moves, low lifts.
std::shared_ptr<const MachineProgram> plateProgram() {
    EventPump none;
    const Project project = ParseProject(
        "4.97//a\r\n60//b\r\n3//c\r\n0.75//d\r\n" + cp("Съешь же ещё этих") + "\r\n", none);
    MachiningSettings low;
    low.ZBezop = 1;
    low.ZBezopS = 2;
    const auto points =
        LayOutProject(project, VEZOR_SOURCE_DIR "/resources/font/A-Chertezh", low).points;
    GCodeProfile grbl = FindProfile("GRBL");
    grbl.plungeFeed = 1000;
    const std::string text = BuildGCodeProgram(*points, "2000", grbl);
    return std::make_shared<const MachineProgram>(MachineProgram::fromText(text));
}

struct Events {
    bool finished = false;
    std::vector<JobStop> stops;
    std::vector<int> alarms;
    std::vector<std::pair<std::string, int>> failed;
};

class GrblSim : public ::testing::Test {
  protected:
    void SetUp() override {
        tool_ = grblSimPty();
        if (tool_.empty()) SKIP_WITHOUT_TOOL("grbl-sim-pty not found (set VEZOR_GRBL_TOOLS)");
        if (QStandardPaths::findExecutable("socat").isEmpty())
            SKIP_WITHOUT_TOOL("socat not installed (apt-get install socat)");
        ASSERT_FALSE(mendedTools(tool_).isEmpty()) << "grbl-sim-mended.sh failed";
        start();
    }
    // A fresh simulated GRBL and a fresh connection to it.
    void start() {
        c_ = std::make_unique<MachineConnection>();
        sim_ = std::make_unique<SimulatedGrbl>(tool_);
        ASSERT_TRUE(sim_->ready())
            << "grbl-sim-pty did not start: " << sim_->output().toStdString();
        MachineConnection& c = *c_;
        QObject::connect(&c, &MachineConnection::jobFinished, [this] { run_.finished = true; });
        QObject::connect(&c, &MachineConnection::jobStopped,
                         [this](const JobStop& s) { run_.stops.push_back(s); });
        QObject::connect(&c, &MachineConnection::alarm,
                         [this](int code) { run_.alarms.push_back(code); });
        QObject::connect(
            &c, &MachineConnection::commandFailed,
            [this](const std::string& l, int code) { run_.failed.emplace_back(l, code); });
        c.open(sim_->link());
        ASSERT_TRUE(waitUntil([&] { return c.isConnected() || !c.isOpen(); }, 30));
        ASSERT_TRUE(c.isConnected());
    }
    // Lines sent one after another, each answered before the next.
    void settle(const std::vector<std::string>& lines) {
        run_ = Events{};
        c_->start(MachineJob{lines, nullptr, 0, {}, false, {}});
        ASSERT_TRUE(waitUntil([&] { return run_.finished || !run_.stops.empty(); }, 60));
        ASSERT_TRUE(run_.finished) << run_.stops[0].message;
    }
    // Waits for `done` while the machine moves: the simulated machine keeps to
    // the wall clock (waiting for GRBL's main loop on a busy computer), so a
    // plate of a few seconds ends well within the limit.
    bool waitMoving(const std::function<bool()>& done) { return waitUntil(done, 120); }
    void streamPlate();

    std::string tool_;
    std::unique_ptr<SimulatedGrbl> sim_;
    std::unique_ptr<MachineConnection> c_;
    Events run_;
};

void GrblSim::streamPlate() {
    MachineConnection& c = *c_;
    EXPECT_EQ(c.info().version.rfind("1.1h", 0), 0U) << c.info().version;
    EXPECT_EQ(c.info().settings.travel().value()[2], 200);
    // A quicker machine than GRBL's defaults, so the plate takes seconds.
    settle({"$110=4000", "$111=4000", "$112=4000", "$120=400", "$121=400", "$122=400"});
    const auto program = plateProgram();
    ASSERT_GT(program->size(), 200U);
    ASSERT_LT(program->size(), 600U);
    std::size_t executed = 0;
    QObject::connect(&c, &MachineConnection::progress,
                     [&](std::size_t done, std::size_t) { executed = done; });
    run_ = Events{};
    c.start(MachineJob{{}, program, 0, {}, false, {}});
    ASSERT_TRUE(waitMoving([&] { return executed > program->size() / 3 || !run_.stops.empty(); }));
    c.realtime("!");
    ASSERT_TRUE(waitMoving([&] { return c.status().state == "Hold" && c.status().subState == 0; }));
    const auto held = c.status().machine;
    QThread::msleep(600);
    QCoreApplication::processEvents();
    EXPECT_EQ(c.status().machine, held);
    c.realtime("~");
    ASSERT_TRUE(waitMoving([&] { return run_.finished || !run_.stops.empty(); }));
    ASSERT_TRUE(run_.finished) << run_.stops[0].message;
    EXPECT_EQ(executed, program->size());
    // Where the program leaves the tool, in machine coordinates (no work offset).
    const PathPoint end = program->path().end(program->size() - 1);
    ASSERT_TRUE(waitUntil([&] { return c.status().state == "Idle"; }));
    for (std::size_t k = 0; k < 3; ++k)
        EXPECT_NEAR(c.status().machine[k], end[k], 0.005) << "axis " << k;
    EXPECT_LE(c.mostBytesInFlight(), 127U);
}

TEST_F(GrblSim, StreamsAPlateWithAHoldAndAResumeToItsLastPosition) { streamPlate(); }

TEST_F(GrblSim, ProgramBeyondSoftLimitsIsRefusedAndGrblRaisesItsOwnAlarm) {
    settle({"$22=1", "$20=1"});
    c_->close();
    c_->open(sim_->link());
    ASSERT_TRUE(waitUntil([&] { return c_->isConnected() || !c_->isOpen(); }, 30));
    ASSERT_TRUE(c_->info().settings.softLimits());
    const auto program = std::make_shared<const MachineProgram>(
        MachineProgram::fromText("G21G90\nG0X-5Y-5\nG1X12Y-5F500\nG1X12Y-8\n"));
    ASSERT_TRUE(waitUntil([&] { return c_->offsetKnown(); }));
    const auto refusal =
        CheckProgramFits(program->extent(), c_->info().settings, c_->status().offset);
    ASSERT_TRUE(refusal);
    EXPECT_NE(win1251::toUtf8(*refusal).find("по оси X на 12 мм в плюс"), std::string::npos)
        << win1251::toUtf8(*refusal);
    // Sent all the same, GRBL stops it with ALARM:2 and waits for a reset.
    if (c_->status().state == "Alarm") settle({"$X"});
    run_ = Events{};
    c_->start(MachineJob{{}, program, 0, {}, false, {}});
    ASSERT_TRUE(waitUntil([&] { return !run_.stops.empty(); }, 60));
    EXPECT_EQ(run_.stops[0].why, JobStop::Why::Alarm);
    EXPECT_EQ(run_.alarms, std::vector<int>{2});
    c_->reset();
    ASSERT_TRUE(waitUntil([&] { return c_->status().state == "Alarm"; }));
    c_->command("$X");
    ASSERT_TRUE(waitUntil([&] { return c_->status().state == "Idle"; }));
    EXPECT_TRUE(run_.failed.empty());
}

}  // namespace

namespace {

TEST_F(GrblSim, AStopMidPlateResumesAtTheLetterGrblWasWritingAndFinishes) {
    settle({"$110=4000", "$111=4000", "$112=4000", "$120=400", "$121=400", "$122=400"});
    const auto program = plateProgram();
    run_ = Events{};
    std::size_t executed = 0;
    QObject::connect(c_.get(), &MachineConnection::progress,
                     [&](std::size_t done, std::size_t) { executed = done; });
    c_->start(MachineJob{{}, program, 0, {}, false, {}});
    ASSERT_TRUE(waitMoving([&] { return executed > program->size() / 3; }));
    c_->stop();
    ASSERT_TRUE(waitMoving([&] { return !run_.stops.empty(); }));
    const JobStop stop = run_.stops[0];
    // GRBL had taken lines well beyond the one it ran; the one told is where the tool stands.
    EXPECT_GT(stop.acknowledged, stop.executed + 5);
    const auto& at = c_->status().machine;
    EXPECT_LT(program->path().distance(stop.executed, {at[0], at[1], at[2]}), 0.05)
        << "line " << stop.executed;
    // The resume from the start of that letter runs the plate to its end.
    const std::size_t from = StrokeStart(*program, stop.executed);
    run_ = Events{};
    c_->start(MachineJob{ResumeLines(*program, from), program, from, {}, false, {}});
    ASSERT_TRUE(waitMoving([&] { return run_.finished || !run_.stops.empty(); }));
    ASSERT_TRUE(run_.finished) << run_.stops[0].message;
    const PathPoint end = program->path().end(program->size() - 1);
    ASSERT_TRUE(waitUntil([&] { return c_->status().state == "Idle"; }));
    for (std::size_t k = 0; k < 3; ++k) EXPECT_NEAR(c_->status().machine[k], end[k], 0.005);
}

TEST_F(GrblSim, AJogCancelledStopsShortOfItsStep) {
    c_->command("$J=G21G91Y50F500");
    ASSERT_TRUE(waitMoving([&] { return c_->status().machine[1] > 1; }));
    c_->cancelJog();
    ASSERT_TRUE(waitMoving([&] { return c_->status().state == "Idle"; }));
    const double stoppedAt = c_->status().machine[1];
    EXPECT_LT(stoppedAt, 10);
    QThread::msleep(1000);
    QCoreApplication::processEvents();
    EXPECT_EQ(c_->status().machine[1], stoppedAt);
}

}  // namespace
