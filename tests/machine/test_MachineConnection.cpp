// The sender against a scripted GRBL on a pseudo-terminal pair: character
// counting, replies matched to lines, errors, alarms, real-time bytes, the
// watchdog, status and a reconnect.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "FakeGrbl.h"
#include "MachineTestSupport.h"
#include "lib/Win1251.h"
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
    c.start(MachineJob{{}, program, 0, {}, false});
    ASSERT_TRUE(waitUntil([&] { return e.finished || !e.stops.empty(); }, 60));
    EXPECT_TRUE(e.finished);
    EXPECT_EQ(e.lastAcknowledged, program->size());
    // Every line arrived once, in order, and the buffer never held more than 128 bytes.
    std::vector<std::string> sent = grbl.lines();
    sent.erase(sent.begin(), sent.begin() + 2);  // "$$", "$I"
    ASSERT_EQ(sent.size(), program->size());
    for (std::size_t i = 0; i < sent.size(); ++i) EXPECT_EQ(sent[i], program->line(i));
    EXPECT_LE(grbl.mostBufferedBytes(), 128U);
    EXPECT_LE(c.mostBytesInFlight(), 128U);
    // Streaming kept GRBL's buffer busy, not one line at a time.
    EXPECT_GT(grbl.mostBufferedBytes(), 100U);
}

}  // namespace
