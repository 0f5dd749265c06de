// GRBL's replies read, its numbers told in Russian, override bytes and the
// advice for a port the user may not open.
#include <gtest/gtest.h>

#include "lib/Win1251.h"
#include "machine/GrblLines.h"
#include "machine/GrblMessages.h"
#include "machine/GrblRealtime.h"
#include "machine/GrblReplies.h"
#include "machine/PortAccess.h"

TEST(GrblReplies, KindsOfLines) {
    EXPECT_EQ(ParseGrblReply("ok\r").kind, GrblReplyKind::Ok);
    const GrblReply error = ParseGrblReply("error:22");
    EXPECT_EQ(error.kind, GrblReplyKind::Error);
    EXPECT_EQ(error.code, 22);
    const GrblReply alarm = ParseGrblReply("ALARM:9");
    EXPECT_EQ(alarm.kind, GrblReplyKind::Alarm);
    EXPECT_EQ(alarm.code, 9);
    EXPECT_EQ(ParseGrblReply("Grbl 1.1h ['$' for help]").kind, GrblReplyKind::Banner);
    const GrblReply setting = ParseGrblReply("$130=215.500");
    EXPECT_EQ(setting.kind, GrblReplyKind::Setting);
    EXPECT_EQ(setting.code, 130);
    EXPECT_EQ(setting.value, 215.5);
    EXPECT_EQ(ParseGrblReply("$N0=").kind, GrblReplyKind::Feedback);
    EXPECT_EQ(ParseGrblReply("[MSG:Reset to continue]").kind, GrblReplyKind::Feedback);
    EXPECT_EQ(ParseGrblReply("<Idle|MPos:0,0,0>").kind, GrblReplyKind::Status);
}

TEST(GrblReplies, StatusKeepsTheOffsetAndOverridesBetweenReports) {
    GrblStatus s;
    ASSERT_TRUE(ParseGrblStatus(
        "<Run|MPos:-10.000,-20.500,-1.000|Bf:12,97|FS:480,1000|WCO:-50.000,-60.000,-2.000|"
        "Ov:120,100,90|Pn:XZ>",
        s));
    EXPECT_EQ(s.state, "Run");
    EXPECT_EQ(s.work, (std::array<double, 3>{40, 39.5, 1}));
    EXPECT_EQ(s.plannerFree, 12);
    EXPECT_EQ(s.rxFree, 97);
    EXPECT_EQ(s.feed, 480);
    EXPECT_EQ(s.spindle, 1000);
    EXPECT_EQ(s.overrides, (std::array<int, 3>{120, 100, 90}));
    EXPECT_EQ(s.pins, "XZ");
    EXPECT_TRUE(s.offsetReported);
    // The next report is silent on WCO and overrides: they hold; pins are gone.
    ASSERT_TRUE(ParseGrblStatus("<Hold:0|MPos:-11.000,-20.500,-1.000|FS:0,0>", s));
    EXPECT_EQ(s.state, "Hold");
    EXPECT_EQ(s.subState, 0);
    EXPECT_EQ(s.work[0], 39);
    EXPECT_EQ(s.overrides[0], 120);
    EXPECT_EQ(s.plannerFree, -1);
    EXPECT_TRUE(s.pins.empty());
    EXPECT_FALSE(s.offsetReported);
    // $10=0: work positions reported; machine positions follow through the offset.
    ASSERT_TRUE(ParseGrblStatus("<Idle|WPos:1.000,2.000,3.000|F:0>", s));
    EXPECT_EQ(s.machine, (std::array<double, 3>{-49, -58, 1}));
    EXPECT_FALSE(ParseGrblStatus("Idle|MPos:0,0,0", s));
}

TEST(GrblReplies, EveryErrorAndAlarmOfGrbl11HasASentence) {
    for (int code : {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 20,
                     21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38}) {
        const std::string text = win1251::toUtf8(GrblErrorText(code));
        EXPECT_EQ(text.rfind("error:" + std::to_string(code) + ": ", 0), 0U) << text;
        EXPECT_EQ(text.find("неизвестная"), std::string::npos) << text;
    }
    for (int code = 1; code <= 10; ++code)
        EXPECT_EQ(win1251::toUtf8(GrblAlarmText(code)).find("неизвестная"), std::string::npos);
    EXPECT_NE(win1251::toUtf8(GrblErrorText(99)).find("неизвестная"), std::string::npos);
    EXPECT_NE(win1251::toUtf8(GrblAlarmText(2)).find("пределы хода"), std::string::npos);
}

TEST(GrblReplies, OverrideBytesFromAHundredPercent) {
    EXPECT_EQ(grbl::feedOverrideBytes(100), "\x90");
    EXPECT_EQ(grbl::feedOverrideBytes(123), "\x90\x91\x91\x93\x93\x93");
    EXPECT_EQ(grbl::feedOverrideBytes(75), "\x90\x92\x92\x94\x94\x94\x94\x94");
    EXPECT_EQ(grbl::feedOverrideBytes(500).size(), 11U);  // at most 200 %
    EXPECT_EQ(grbl::spindleOverrideBytes(90), "\x99\x9B");
    EXPECT_TRUE(grbl::isRealtime('\x85'));
    EXPECT_FALSE(grbl::isRealtime('G'));
}

TEST(GrblReplies, PortAccessSaysExactlyWhatToDo) {
    const std::string add =
        win1251::toUtf8(PortAccessAdvice("/dev/ttyUSB0", "anna", "dialout", {"anna", "sudo"}, {}));
    EXPECT_NE(add.find("sudo usermod -a -G dialout anna"), std::string::npos) << add;
    EXPECT_NE(add.find("выйдите из системы"), std::string::npos) << add;
    const std::string relogin =
        win1251::toUtf8(PortAccessAdvice("/dev/ttyUSB0", "anna", "dialout", {"anna"}, {"dialout"}));
    EXPECT_EQ(relogin.find("usermod"), std::string::npos) << relogin;
    EXPECT_NE(relogin.find("уже добавлен"), std::string::npos) << relogin;
    const std::string busy =
        win1251::toUtf8(PortAccessAdvice("/dev/ttyACM0", "anna", "uucp", {"uucp"}, {"uucp"}));
    EXPECT_NE(busy.find("другая программа"), std::string::npos) << busy;
}

TEST(GrblReplies, GrblsHeirsAndWhatTheyTellAboutThemselves) {
    EXPECT_EQ(ParseGrblReply("GrblHAL 1.1f ['$' or '$HELP' for help]").kind, GrblReplyKind::Banner);
    EXPECT_EQ(ParseGrblReply("Grbl 3.7.8 [FluidNC v3.7.8 (wifi) '$' for help]").kind,
              GrblReplyKind::Banner);
    std::size_t blocks = 15, bytes = 128;
    EXPECT_TRUE(ParseGrblOptions("[OPT:VNMHL,35,1024,3,0]", blocks, bytes));
    EXPECT_EQ(blocks, 35U);
    EXPECT_EQ(bytes, 1024U);
    EXPECT_FALSE(ParseGrblOptions("[VER:1.1h.20190830:]", blocks, bytes));
    // "$#" and "$G", here in inches ($13=1).
    GrblOffsets offsets;
    for (const char* line : {"[G54:-1.000,-2.000,-0.500]", "[G55:1.000,0.000,0.000]",
                             "[G28:0.000,0.000,-0.100]", "[G92:0.500,0.000,0.000]", "[TLO:0.100]"})
        EXPECT_TRUE(ParseGrblOffsetLine(line, offsets, 25.4)) << line;
    EXPECT_FALSE(offsets.known);
    EXPECT_TRUE(ParseGrblOffsetLine("[PRB:0.000,0.000,0.000:0]", offsets, 25.4));
    EXPECT_TRUE(offsets.known);
    EXPECT_DOUBLE_EQ(offsets.systems[0][1], -50.8);
    EXPECT_DOUBLE_EQ(offsets.systems[1][0], 25.4);
    EXPECT_DOUBLE_EQ(offsets.g92[0], 12.7);
    EXPECT_DOUBLE_EQ(offsets.toolLength, 2.54);
    EXPECT_FALSE(ParseGrblOffsetLine("[MSG:Caution: Unlocked]", offsets));
    GrblModes modes;
    EXPECT_TRUE(ParseGrblModes("[GC:G1 G55 G18 G20 G91 G94 M3 M9 T0 F500 S1000]", modes));
    EXPECT_EQ(modes.system, 1U);
    EXPECT_EQ(modes.plane, 18);
    EXPECT_TRUE(modes.inches && modes.incremental && modes.known);
    GrblStatus status;
    ParseGrblStatus("<Run|MPos:1.0000,0.5000,0.0000|FS:10,1000|WCO:0.1000,0,0|A:S>", status, 25.4);
    EXPECT_DOUBLE_EQ(status.machine[0], 25.4);
    EXPECT_DOUBLE_EQ(status.work[0], 22.86);
    EXPECT_DOUBLE_EQ(status.feed, 254);
    EXPECT_EQ(status.accessories, "S");
    // GRBL's feedback in Russian; one it does not know kept as it came.
    EXPECT_EQ(win1251::toUtf8(GrblMessageText("[MSG:'$H'|'$X' to unlock]")),
              "Станок заблокирован: выполните поиск нуля ($H) или разблокируйте его ($X).");
    EXPECT_EQ(win1251::toUtf8(GrblMessageText("[MSG:INFO: Probe pin]")),
              "Сообщение станка: INFO: Probe pin");
}

TEST(GrblReplies, LinesThatWriteEepromOrChangeTheOffsets) {
    for (const char* line : {"G10L20P1X0Y0", "G10L2P2X-5", "G28.1", "g30.1", "$110=4000", "$N0=G54",
                             "$RST=*", "$I=plate"})
        EXPECT_TRUE(WritesGrblEeprom(line)) << line;
    for (const char* line :
         {"G1X10F500", "$J=G21G91X1F500", "$X", "$H", "$N", "$#", "G28", "G92X0"})
        EXPECT_FALSE(WritesGrblEeprom(line)) << line;
    for (const char* line : {"G92X0Y0", "G92.1", "G55", "G10L20P1Z0", "G28.1"})
        EXPECT_TRUE(ChangesGrblOffsets(line)) << line;
    for (const char* line : {"G1X1F100", "$J=G91X1F100", "G28"})
        EXPECT_FALSE(ChangesGrblOffsets(line)) << line;
}
