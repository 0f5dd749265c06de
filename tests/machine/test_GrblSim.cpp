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
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "MachineTestSupport.h"
#include "TestSupport.h"
#include "gcode/GCodeWriter.h"
#include "gcode/HeightMapApply.h"
#include "lib/EventPump.h"
#include "lib/Win1251.h"
#include "machine/MachineConnection.h"
#include "machine/ProbeSession.h"
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
// `extra`: GRBL_SIM_SURFACE, GRBL_SIM_TRACE (the tools' README).
class SimulatedGrbl {
  public:
    SimulatedGrbl(const std::string& tool, const std::vector<std::pair<QString, QString>>& extra) {
        link_ = folder_.filePath("grbl");
        process_.setProcessChannelMode(QProcess::MergedChannels);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("GRBL_TOOLS_DIR", mendedTools(tool));
        for (const auto& [name, value] : extra) environment.insert(name, value);
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
std::string plateText(double depth = 0) {
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
    grbl.depth = depth;
    return BuildGCodeProgram(*points, "2000", grbl);
}

std::shared_ptr<const MachineProgram> plateProgram() {
    return std::make_shared<const MachineProgram>(MachineProgram::fromText(plateText()));
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
        sim_ = std::make_unique<SimulatedGrbl>(tool_, environment_);
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
    std::vector<std::pair<QString, QString>> environment_;
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

namespace {

// A work piece whose top is z = a + b·x + c·y + d·x·y in machine millimetres.
struct Surface {
    double a, b, c, d;
    double at(double x, double y) const { return a + b * x + c * y + d * x * y; }
    QString text() const {
        return QString::number(a) + " " + QString::number(b) + " " + QString::number(c) + " " +
               QString::number(d);
    }
};

class GrblSimSurface : public GrblSim {
  protected:
    // Zeroes Z on the surface with the tool as its own touch plate, probes a
    // map over the plate, writes the plate 0.2 mm deep through it and checks
    // the tool's every writing position against the surface.
    void engraveThroughTheMap(const Surface& surface) {
        const QString trace = folder_.filePath("trace.txt");
        environment_ = {{"GRBL_SIM_SURFACE", surface.text()}, {"GRBL_SIM_TRACE", trace}};
        start();
        settle({"$110=4000", "$111=4000", "$112=4000", "$120=400", "$121=400", "$122=400"});
        ProbeSession probe(*c_);
        bool zeroed = false;
        std::optional<HeightMap> map;
        std::string failure;
        QObject::connect(&probe, &ProbeSession::zeroSet, [&] { zeroed = true; });
        QObject::connect(&probe, &ProbeSession::mapReady, [&](const HeightMap& m) { map = m; });
        QObject::connect(&probe, &ProbeSession::failed,
                         [&](const std::string& m) { failure = win1251::toUtf8(m); });
        probe.zeroByTouchPlate(0, 8, 300, 2);
        ASSERT_TRUE(waitUntil([&] { return zeroed || !failure.empty(); }, 120));
        ASSERT_TRUE(zeroed) << failure;
        ASSERT_TRUE(waitUntil([&] { return c_->status().offset[2] < -4; }));

        const std::string text = plateText(-0.2);
        const ProgramExtent extent = MachineProgram::fromText(text).extent();
        ProbeGrid grid;
        grid.x0 = extent.min[0] - 2;
        grid.y0 = extent.min[1] - 2;
        grid.x1 = extent.max[0] + 2;
        grid.y1 = extent.max[1] + 2;
        grid.columns = 4;
        grid.rows = 3;
        grid.feed = 300;
        grid.depth = 3;
        probe.probeGrid(grid);
        ASSERT_TRUE(waitUntil([&] { return map || !failure.empty(); }, 240));
        ASSERT_TRUE(map) << failure;
        // Each point to within a step (0.004 mm): GRBL reports where the probe touched.
        const std::array<double, 3> offset = *map->workOffset;
        for (std::size_t row = 0; row < map->rows; ++row)
            for (std::size_t column = 0; column < map->columns; ++column) {
                const double x = map->pointX(column) + offset[0], y = map->pointY(row) + offset[1];
                EXPECT_NEAR(map->at(column, row) + offset[2], surface.at(x, y), 0.0045)
                    << "point " << column << ", " << row;
            }

        const auto program = std::make_shared<const MachineProgram>(
            MachineProgram::fromText(ApplyHeightMap(text, *map)));
        const qint64 traced = QFileInfo(trace).size();
        run_ = Events{};
        c_->start(MachineJob{{}, program, 0, {}, false, {}});
        ASSERT_TRUE(waitMoving([&] { return run_.finished || !run_.stops.empty(); }));
        ASSERT_TRUE(run_.finished) << run_.stops[0].message;
        QThread::msleep(300);

        // The trace of the engraving: "seconds x, y, z, spindle" in steps, 250 a millimetre.
        QFile file(trace);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        file.seek(traced);
        file.readLine();  // the line being written when the job began
        std::vector<std::array<double, 3>> samples;
        while (!file.atEnd()) {
            const QStringList fields =
                QString::fromUtf8(file.readLine()).simplified().remove(',').split(' ');
            if (fields.size() < 4) continue;
            samples.push_back({fields[1].toDouble() / 250, fields[2].toDouble() / 250,
                               fields[3].toDouble() / 250});
        }
        // Writing: in the work and moving across it since the sample before and on
        // to the one after (a sample may span a plunge's end or a lift's start).
        const auto below = [&](const std::array<double, 3>& p) {
            return surface.at(p[0], p[1]) - p[2];
        };
        const auto across = [](const std::array<double, 3>& p, const std::array<double, 3>& q) {
            return p[0] != q[0] || p[1] != q[1];
        };
        std::size_t writing = 0;
        double worst = 0;
        for (std::size_t i = 1; i + 1 < samples.size(); ++i) {
            const auto& p = samples[i];
            if (below(p) < 0.1 || below(samples[i - 1]) < 0.1 || below(samples[i + 1]) < 0.1 ||
                !across(samples[i - 1], p) || !across(p, samples[i + 1]))
                continue;
            ++writing;
            worst = std::max(worst, std::fabs(below(p) - 0.2));
        }
        EXPECT_GT(writing, 200U);
        EXPECT_LT(worst, 0.02) << "the depth below the surface strayed by " << worst << " mm";
        std::fprintf(stderr, "depth error on the plate: %.4f mm at most over %zu positions\n",
                     worst, writing);
    }

    QTemporaryDir folder_;
};

TEST_F(GrblSimSurface, ATiltedPlateIsProbedAndWrittenAtItsDepthBelowTheSurface) {
    engraveThroughTheMap({-5, 0.003, 0.002, 0});
}

TEST_F(GrblSimSurface, AWarpedPlateIsProbedAndWrittenAtItsDepthBelowTheSurface) {
    engraveThroughTheMap({-5, 0.002, -0.004, 0.0003});
}

}  // namespace

namespace {

// GRBL's own code served over TCP (socat in front of the simulator), with a
// tool change between two words.
TEST_F(GrblSim, OverTcpAToolChangeStopsAndTheProgramGoesOnAfterIt) {
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    const quint16 port = probe.serverPort();
    probe.close();
    QProcess server;
    server.setProcessChannelMode(QProcess::MergedChannels);
    server.start("socat", {QStringLiteral("TCP-LISTEN:%1,bind=127.0.0.1,reuseaddr").arg(port),
                           "EXEC:stdbuf -i0 -o0 " + mendedTools(tool_) +
                               "/grbl/sim/grbl_sim.exe -n -t 1 -b /dev/null,pty,raw,echo=0"});
    ASSERT_TRUE(server.waitForStarted());
    MachineConnection c;
    Events events;
    QObject::connect(&c, &MachineConnection::jobFinished, [&] { events.finished = true; });
    QObject::connect(&c, &MachineConnection::jobStopped,
                     [&](const JobStop& s) { events.stops.push_back(s); });
    ASSERT_TRUE(waitUntil([&] {
        if (!c.isOpen()) c.open(QStringLiteral("tcp://127.0.0.1:%1").arg(port));
        return c.isConnected();
    }));
    EXPECT_EQ(c.info().version.rfind("1.1h", 0), 0U);
    for (const char* quick : {"$110=4000", "$111=4000", "$112=4000", "$120=400", "$121=400"})
        c.command(quick);
    const auto program = std::make_shared<const MachineProgram>(MachineProgram::fromText(
        "G21G90\nG0Z2\nM3S1000\nG0X2Y1\nG1Z0F500\nG1X6Y1\nG0Z2\nT2M6\nG0X8Y1\nG1Z0F500\n"
        "G1X12Y1\nG0Z2\nM5\nM30\n"));
    c.start(MachineJob{{}, program, 0, {}, false, {}});
    ASSERT_TRUE(waitMoving([&] { return events.finished || !events.stops.empty(); }));
    ASSERT_EQ(events.stops.size(), 1U);
    EXPECT_EQ(events.stops[0].why, JobStop::Why::Pause);
    EXPECT_EQ(events.stops[0].code, 2);
    // Parked at the safe height, the spindle off.
    EXPECT_TRUE(waitUntil([&] { return c.status().spindle == 0; }, 5));
    EXPECT_NEAR(c.status().machine[2], 2, 0.005);
    const std::size_t from = events.stops[0].index + 1;
    c.start(MachineJob{ResumeLines(*program, from), program, from, {}, false, {}});
    ASSERT_TRUE(waitMoving([&] { return events.finished || events.stops.size() > 1; }));
    ASSERT_TRUE(events.finished) << events.stops.back().message;
    ASSERT_TRUE(waitUntil([&] { return c.status().state == "Idle"; }));
    EXPECT_NEAR(c.status().machine[0], 12, 0.005);
    c.close();
    server.terminate();
    server.waitForFinished(5000);
}

}  // namespace
