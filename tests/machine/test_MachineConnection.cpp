// The sender against a scripted GRBL on a pseudo-terminal pair: character
// counting, replies matched to lines, errors, alarms, real-time bytes, the
// watchdog, status and a reconnect.
#include <gtest/gtest.h>

#include <QSerialPort>
#include <QTcpServer>
#include <QTcpSocket>
#include <memory>
#include <string>
#include <vector>

#include "FakeGrbl.h"
#include "MachineTestSupport.h"
#include "lib/Win1251.h"
#include "machine/GrblRealtime.h"
#include "machine/MachineConnection.h"

namespace {

// Moves of varied length, so that lines pack the receive buffer unevenly.
std::shared_ptr<const MachineProgram> zigzag(int moves) {
    std::string text = "G21G90G17\n";
    for (int i = 1; i <= moves; ++i)
        text += "G1X" + std::to_string(i % 37) + "." + std::to_string(i % 1000) + "Y" +
                std::to_string(i % 3) + "F500\n";
    return std::make_shared<const MachineProgram>(MachineProgram::fromText(text));
}

struct Events {
    bool finished = false;
    std::vector<JobStop> stops;
    std::vector<int> alarms;
    std::vector<bool> watchdog;
    std::vector<std::string> lost;
    std::size_t lastAcknowledged = 0;
};

void record(MachineConnection& c, Events& e) {
    QObject::connect(&c, &MachineConnection::jobFinished, [&e] { e.finished = true; });
    QObject::connect(&c, &MachineConnection::jobStopped,
                     [&e](const JobStop& s) { e.stops.push_back(s); });
    QObject::connect(&c, &MachineConnection::alarm, [&e](int code) { e.alarms.push_back(code); });
    QObject::connect(&c, &MachineConnection::watchdog, [&e](bool s) { e.watchdog.push_back(s); });
    QObject::connect(&c, &MachineConnection::disconnected,
                     [&e](const std::string& r) { e.lost.push_back(r); });
    QObject::connect(&c, &MachineConnection::progress,
                     [&e](std::size_t done, std::size_t) { e.lastAcknowledged = done; });
}

bool connectTo(MachineConnection& c, const FakeGrbl& grbl) {
    c.open(QString::fromStdString(grbl.port()));
    return waitUntil([&] { return c.isConnected() || !c.isOpen(); }) && c.isConnected();
}

TEST(MachineConnection, StreamsByCharacterCountingWithinGrblsBuffer) {
    FakeGrbl grbl;
    MachineConnection c;
    Events e;
    record(c, e);
    ASSERT_TRUE(connectTo(c, grbl));
    EXPECT_EQ(c.info().settings.travel().value()[0], 200);
    EXPECT_EQ(c.info().version, "1.1h.20190830:");
    const auto program = zigzag(400);
    c.start(MachineJob{{}, program, 0, {}, false, {}});
    ASSERT_TRUE(waitUntil([&] { return e.finished || !e.stops.empty(); }, 60));
    EXPECT_TRUE(e.finished);
    EXPECT_EQ(e.lastAcknowledged, program->size());
    // Every line arrived once, in order, and the buffer never held more than 128 bytes.
    const std::vector<std::string> sent = grbl.programLines();
    ASSERT_EQ(sent.size(), program->size());
    for (std::size_t i = 0; i < sent.size(); ++i) EXPECT_EQ(sent[i], program->line(i));
    // One byte of the 128 is kept free.
    EXPECT_LE(grbl.mostBufferedBytes(), 127U);
    EXPECT_LE(c.mostBytesInFlight(), 127U);
    // Streaming kept GRBL's buffer busy, not one line at a time.
    EXPECT_GT(grbl.mostBufferedBytes(), 100U);
}

TEST(MachineConnection, FirstErrorStopsTheStreamNamingTheLineThenHoldsAndResets) {
    FakeGrbl grbl;
    MachineConnection c;
    Events e;
    record(c, e);
    ASSERT_TRUE(connectTo(c, grbl));
    const auto program = zigzag(300);
    grbl.failLine(std::string(program->line(150)), 33);
    c.start(MachineJob{{}, program, 0, {}, false, {}});
    ASSERT_TRUE(waitUntil([&] { return e.finished || !e.stops.empty(); }, 60));
    ASSERT_EQ(e.stops.size(), 1U);
    const JobStop& stop = e.stops[0];
    EXPECT_EQ(stop.why, JobStop::Why::Error);
    EXPECT_EQ(stop.code, 33);
    EXPECT_TRUE(stop.inProgram);
    EXPECT_EQ(stop.index, 150U);
    EXPECT_EQ(stop.sourceLine, 151U);  // the units line is line 1
    const std::string message = win1251::toUtf8(stop.message);
    EXPECT_NE(message.find("Строка 151 программы «G1X2.150Y0F500» не принята: error:33"),
              std::string::npos)
        << message;
    EXPECT_NE(message.find("error:33"), std::string::npos) << message;
    // No line after the failed one's buffer-full was sent; the machine was held, then reset.
    const std::vector<std::string> sent = grbl.programLines();
    EXPECT_LT(sent.size(), 151 + 20U);
    const std::string realtime = grbl.realtimeBytes();
    const std::size_t hold = realtime.find('!');
    ASSERT_NE(hold, std::string::npos);
    EXPECT_NE(realtime.find('\x18', hold), std::string::npos);
    EXPECT_FALSE(e.finished);
    EXPECT_FALSE(c.jobRunning());
    EXPECT_EQ(grbl.state(), "Idle");
}

TEST(MachineConnection, CheckModeRunParsesEveryLineAndMovesNothing) {
    FakeGrbl grbl;
    MachineConnection c;
    Events e;
    record(c, e);
    ASSERT_TRUE(connectTo(c, grbl));
    const auto program = zigzag(120);
    c.start(MachineJob{{}, program, 0, {}, true, {}});
    ASSERT_TRUE(waitUntil([&] { return e.finished || !e.stops.empty(); }, 60));
    ASSERT_TRUE(e.finished);
    const std::vector<std::string> sent = grbl.programLines();
    EXPECT_EQ(sent.size(), 1 + program->size() + 1);
    EXPECT_EQ(sent[0], "$C");
    EXPECT_EQ(sent.back(), "$C");
    EXPECT_EQ(grbl.movesDone(), 0U);
    // Out of check mode (GRBL reset itself), the real run follows at once.
    e.finished = false;
    c.start(MachineJob{{}, program, 0, {}, false, {}});
    ASSERT_TRUE(waitUntil([&] { return e.finished || !e.stops.empty(); }, 60));
    EXPECT_TRUE(e.finished);
    EXPECT_EQ(grbl.movesDone(), program->size() - 1);
}

TEST(MachineConnection, AlarmStopsEverythingAndGrblAnswersNothingUntilReset) {
    FakeGrbl grbl;
    MachineConnection c;
    Events e;
    record(c, e);
    ASSERT_TRUE(connectTo(c, grbl));
    const auto program = zigzag(300);
    grbl.alarmOnLine(std::string(program->line(100)), 2);
    c.start(MachineJob{{}, program, 0, {}, false, {}});
    ASSERT_TRUE(waitUntil([&] { return !e.stops.empty(); }, 60));
    EXPECT_EQ(e.stops[0].why, JobStop::Why::Alarm);
    EXPECT_EQ(e.alarms, std::vector<int>{2});
    EXPECT_NE(win1251::toUtf8(e.stops[0].message).find("пределы хода"), std::string::npos);
    const std::size_t sentAtAlarm = grbl.lines().size();
    // GRBL is silent in a critical alarm: that is no lost machine.
    QThread::msleep(3500);
    QCoreApplication::processEvents();
    EXPECT_TRUE(e.watchdog.empty());
    EXPECT_EQ(grbl.lines().size(), sentAtAlarm);
    c.reset();
    ASSERT_TRUE(waitUntil([&] { return c.status().state == "Alarm"; }));
    c.command("$X");
    ASSERT_TRUE(waitUntil([&] { return c.status().state == "Idle"; }));
}

TEST(MachineConnection, HoldResumeAndStopGoOutAtOnceOutsideTheCount) {
    FakeGrbl::Options slow;
    slow.moveTime = std::chrono::milliseconds(20);
    FakeGrbl grbl(slow);
    MachineConnection c;
    Events e;
    record(c, e);
    ASSERT_TRUE(connectTo(c, grbl));
    const auto program = zigzag(200);
    c.start(MachineJob{{}, program, 0, {}, false, {}});
    ASSERT_TRUE(waitUntil([&] { return grbl.movesDone() > 5; }));
    c.realtime("!");
    ASSERT_TRUE(waitUntil([&] { return c.status().state == "Hold"; }));
    const std::size_t heldAt = grbl.movesDone();
    QThread::msleep(300);
    EXPECT_EQ(grbl.movesDone(), heldAt);
    c.realtime("~");
    ASSERT_TRUE(waitUntil([&] { return grbl.movesDone() > heldAt + 3; }));
    // The feed override 120 %: back to 100, then two steps of ten.
    c.realtime(grbl::feedOverrideBytes(120));
    ASSERT_TRUE(
        waitUntil([&] { return grbl.realtimeBytes().find("\x90\x91\x91") != std::string::npos; }));
    c.stop();
    ASSERT_TRUE(waitUntil([&] { return !e.stops.empty(); }));
    EXPECT_EQ(e.stops[0].why, JobStop::Why::User);
    const std::string realtime = grbl.realtimeBytes();
    const std::size_t lastHold = realtime.rfind('!');
    EXPECT_NE(realtime.find('\x18', lastHold), std::string::npos);
    // Held first, so the reset lost no position.
    EXPECT_EQ(grbl.state(), "Idle");
    EXPECT_LT(grbl.movesDone(), program->size());
    // Lines that were never counted: the real-time bytes did not enter the buffer.
    EXPECT_LE(grbl.mostBufferedBytes(), 128U);
}

TEST(MachineConnection, WatchdogWhenStatusGoesUnansweredAndStatusReadThroughTheOffset) {
    FakeGrbl grbl;
    MachineConnection c;
    Events e;
    record(c, e);
    ASSERT_TRUE(connectTo(c, grbl));
    c.command("G10L20P1X-5Y-7Z-1");
    ASSERT_TRUE(waitUntil([&] { return c.status().offset[0] == 5; }));
    EXPECT_TRUE(c.offsetKnown());
    EXPECT_EQ(c.status().work[1], -7);
    EXPECT_EQ(c.status().plannerFree, 15);
    grbl.setSilent(true);
    ASSERT_TRUE(waitUntil([&] { return !e.watchdog.empty(); }, 10));
    EXPECT_TRUE(e.watchdog[0]);
    grbl.setSilent(false);
    ASSERT_TRUE(waitUntil([&] { return e.watchdog.size() == 2; }, 10));
    EXPECT_FALSE(e.watchdog[1]);
}

TEST(MachineConnection, LostPortStopsTheJobAndANewConnectionWorks) {
    auto grbl = std::make_unique<FakeGrbl>();
    MachineConnection c;
    Events e;
    record(c, e);
    ASSERT_TRUE(connectTo(c, *grbl));
    const auto program = zigzag(3000);
    c.start(MachineJob{{}, program, 0, {}, false, {}});
    ASSERT_TRUE(waitUntil([&] { return grbl->movesDone() > 5; }));
    grbl->hangUp();
    ASSERT_TRUE(waitUntil([&] { return !e.lost.empty(); }, 10));
    ASSERT_EQ(e.stops.size(), 1U);
    EXPECT_EQ(e.stops[0].why, JobStop::Why::Lost);
    EXPECT_FALSE(c.isConnected());
    grbl = std::make_unique<FakeGrbl>();
    ASSERT_TRUE(connectTo(c, *grbl));
    e.finished = false;
    c.start(MachineJob{{}, zigzag(50), 0, {}, false, {}});
    ASSERT_TRUE(waitUntil([&] { return e.finished; }, 60));
}

TEST(MachineConnection, MissingPortIsSaidSo) {
    MachineConnection c;
    std::string failure;
    QObject::connect(&c, &MachineConnection::connectionFailed,
                     [&](const std::string& m) { failure = m; });
    c.open("/dev/nonexistent-vezor-port");
    ASSERT_TRUE(waitUntil([&] { return !failure.empty(); }, 10));
    EXPECT_NE(win1251::toUtf8(failure).find("не найден"), std::string::npos);
}

}  // namespace

namespace {

TEST(MachineConnection, EepromLinesGoOutAloneSoNothingIsLostWhileGrblWrites) {
    FakeGrbl::Options deaf;
    deaf.eepromTime = std::chrono::milliseconds(60);
    FakeGrbl grbl(deaf);
    MachineConnection c;
    Events e;
    record(c, e);
    ASSERT_TRUE(connectTo(c, grbl));
    // A new work zero and a setting, then a job, all at once.
    c.command("G10L20P1X0Y0");
    c.command("$110=600");
    const auto program = std::make_shared<const MachineProgram>(MachineProgram::fromText(
        "G21G90\nG10L20P1Z0\n" + std::string("G1X1F500\n") + "G1X2\nG1X3\nG1X4\n"));
    c.start(MachineJob{{}, program, 0, {}, false, {}});
    ASSERT_TRUE(waitUntil([&] { return e.finished || !e.stops.empty(); }, 30));
    EXPECT_TRUE(e.finished);
    EXPECT_EQ(grbl.lostBytes(), 0U);
    const std::vector<std::string> sent = grbl.programLines();
    EXPECT_EQ(sent, (std::vector<std::string>{"G10L20P1X0Y0", "$110=600", "G21G90", "G10L20P1Z0",
                                              "G1X1F500", "G1X2", "G1X3", "G1X4"}));
}

TEST(MachineConnection, JogCancelAlsoReachesAJogGrblHadNotTakenYet) {
    FakeGrbl::Options busy;
    busy.parseTime = std::chrono::milliseconds(200);  // the jog waits in GRBL's buffer
    busy.moveTime = std::chrono::milliseconds(600);
    FakeGrbl grbl(busy);
    MachineConnection c;
    ASSERT_TRUE(connectTo(c, grbl));
    c.command("$J=G21G91Y10F500");
    c.command("$J=G21G91Y10F500");
    c.cancelJog();
    QThread::msleep(1200);
    QCoreApplication::processEvents();
    // Both were in GRBL's buffer, where a jog cancel does not reach: each was
    // cancelled again once GRBL took it.
    EXPECT_EQ(grbl.position()[1], 0);
    EXPECT_EQ(grbl.state(), "Idle");
    EXPECT_EQ(grbl.programLines().size(), 2U);
    const std::string realtime = grbl.realtimeBytes();
    EXPECT_EQ(std::count(realtime.begin(), realtime.end(), '\x85'), 3);
}

TEST(MachineConnection, ProgressAndTheStopFollowWhatTheMachineRan) {
    FakeGrbl::Options timed;
    timed.moveTime = std::chrono::milliseconds(40);
    FakeGrbl grbl(timed);
    MachineConnection c;
    Events e;
    record(c, e);
    ASSERT_TRUE(connectTo(c, grbl));
    const auto program = zigzag(200);  // a units line, then one move a line
    c.start(MachineJob{{}, program, 0, {}, false, {}});
    ASSERT_TRUE(waitUntil([&] { return grbl.movesDone() > 40; }));
    // GRBL has taken a planner's depth more than it ran; the progress counts what ran.
    EXPECT_LE(e.lastAcknowledged, grbl.movesDone() + 2);
    c.stop();
    ASSERT_TRUE(waitUntil([&] { return !e.stops.empty(); }));
    const JobStop& stop = e.stops[0];
    EXPECT_EQ(stop.executed, grbl.movesDone() + 1);
    EXPECT_GE(stop.acknowledged, stop.executed + 10);
    EXPECT_EQ(grbl.state(), "Idle");  // held first: the reset lost no position
}

TEST(MachineConnection, GrblHalsBannerDeeperBufferAndReportsInInches) {
    FakeGrbl::Options hal;
    hal.banner = "GrblHAL 1.1f ['$' or '$HELP' for help]";
    hal.receiveBuffer = 1024;
    hal.plannerBlocks = 35;
    hal.reportInches = true;
    hal.moveTime = std::chrono::milliseconds(5);
    FakeGrbl grbl(hal);
    MachineConnection c;
    Events e;
    record(c, e);
    ASSERT_TRUE(connectTo(c, grbl));
    EXPECT_EQ(c.info().plannerBlocks, 35U);
    EXPECT_EQ(c.info().receiveBuffer, 1024U);
    c.command("G10L20P1X-5");
    ASSERT_TRUE(waitUntil([&] { return c.status().offset[0] > 4; }));
    EXPECT_NEAR(c.status().offset[0], 5, 0.003);  // millimetres, from 4 decimals of inches
    const auto program = zigzag(300);
    c.start(MachineJob{{}, program, 0, {}, false, {}});
    ASSERT_TRUE(waitUntil([&] { return grbl.movesDone() > 30; }));
    // The deeper buffer is used, and a stop (hold, reset) is seen to end.
    EXPECT_GT(c.mostBytesInFlight(), 128U);
    EXPECT_LE(c.mostBytesInFlight(), 1023U);
    c.stop();
    ASSERT_TRUE(waitUntil([&] { return !e.stops.empty(); }, 10));
    EXPECT_EQ(e.stops[0].why, JobStop::Why::User);
}

TEST(MachineConnection, ClosingSafelyHoldsThenResetsThenCloses) {
    FakeGrbl::Options timed;
    timed.moveTime = std::chrono::milliseconds(30);
    FakeGrbl grbl(timed);
    MachineConnection c;
    Events e;
    record(c, e);
    ASSERT_TRUE(connectTo(c, grbl));
    const auto program = zigzag(300);
    c.start(MachineJob{{}, program, 0, {}, false, {}});
    ASSERT_TRUE(waitUntil([&] { return grbl.movesDone() > 10; }));
    c.closeSafely();
    EXPECT_TRUE(c.isOpen());  // until the machine stands
    ASSERT_TRUE(waitUntil([&] { return !c.isOpen(); }, 15));
    const std::string realtime = grbl.realtimeBytes();
    const std::size_t hold = realtime.find('!');
    ASSERT_NE(hold, std::string::npos);
    EXPECT_NE(realtime.find('\x18', hold), std::string::npos);
    EXPECT_EQ(grbl.state(), "Idle");
    EXPECT_LT(grbl.movesDone(), program->size() - 1);
    ASSERT_EQ(e.lost.size(), 1U);
    EXPECT_NE(win1251::toUtf8(e.lost[0]).find("остановлен"), std::string::npos);
}

}  // namespace

namespace {

TEST(MachineConnection, AToolChangeStopsWithTheMachineParkedAndNoM6Sent) {
    FakeGrbl grbl;
    MachineConnection c;
    Events e;
    record(c, e);
    ASSERT_TRUE(connectTo(c, grbl));
    const auto program = std::make_shared<const MachineProgram>(MachineProgram::fromText(
        "G21G90\nG0Z5\nM3S1000\nG0X1Y1\nG1Z-0.1F100\nG1X5Y1F500\nG0Z5\nT2M6\nG0X10Y1\n"
        "G1Z-0.1F100\nG1X15Y1F500\nG0Z5\nM5\nM30\n"));
    c.start(MachineJob{{}, program, 0, {}, false, {}});
    ASSERT_TRUE(waitUntil([&] { return !e.stops.empty() || e.finished; }));
    ASSERT_EQ(e.stops.size(), 1U);
    const JobStop& pause = e.stops[0];
    EXPECT_EQ(pause.why, JobStop::Why::Pause);
    EXPECT_EQ(pause.code, 2);
    EXPECT_EQ(pause.index, 7U);
    EXPECT_NE(win1251::toUtf8(pause.message).find("поставьте инструмент T2"), std::string::npos);
    // Up and the spindle off after what came before; nothing of the tool change line.
    const std::vector<std::string> sent = grbl.programLines();
    const std::vector<std::string> tail(sent.end() - 4, sent.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"G21G90", "G0Z5", "M5", "G4P0"}));
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "T2M6"), 0);
    EXPECT_EQ(grbl.state(), "Idle");
    EXPECT_FALSE(c.jobRunning());
}

// A controller on the network: a telnet server (it may open with its negotiation)
// in front of the scripted GRBL.
TEST(MachineConnection, ANetworkControllerIsReachedOverTcp) {
    FakeGrbl grbl;
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    QSerialPort serial;
    serial.setPortName(QString::fromStdString(grbl.port()));
    ASSERT_TRUE(serial.open(QIODevice::ReadWrite));
    QTcpSocket* client = nullptr;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        client = server.nextPendingConnection();
        client->write("\xFF\xFB\x01\xFF\xFD\x03");  // IAC WILL ECHO, IAC DO SUPPRESS-GO-AHEAD
        QObject::connect(client, &QTcpSocket::readyRead, [&] { serial.write(client->readAll()); });
    });
    QObject::connect(&serial, &QSerialPort::readyRead, [&] {
        if (client != nullptr) client->write(serial.readAll());
    });
    MachineConnection c;
    Events e;
    record(c, e);
    c.open(QStringLiteral("tcp://127.0.0.1:%1").arg(server.serverPort()));
    ASSERT_TRUE(waitUntil([&] { return c.isConnected() || !c.isOpen(); }));
    ASSERT_TRUE(c.isConnected());
    EXPECT_EQ(c.info().version, "1.1h.20190830:");
    const auto program = zigzag(100);
    c.start(MachineJob{{}, program, 0, {}, false, {}});
    ASSERT_TRUE(waitUntil([&] { return e.finished || !e.stops.empty(); }, 60));
    EXPECT_TRUE(e.finished);
    EXPECT_EQ(grbl.programLines().size(), program->size());
    // No such controller: said so in Russian.
    MachineConnection nobody;
    std::string failure;
    QObject::connect(&nobody, &MachineConnection::connectionFailed,
                     [&](const std::string& m) { failure = win1251::toUtf8(m); });
    nobody.open(QStringLiteral("tcp://127.0.0.1:1"));
    ASSERT_TRUE(waitUntil([&] { return !failure.empty(); }, 20));
    EXPECT_NE(failure.find("не отвечает"), std::string::npos) << failure;
}

}  // namespace
