// GRBL's replies read, its numbers told in Russian, override bytes and the
// advice for a port the user may not open.
#include <gtest/gtest.h>

#include "lib/Win1251.h"
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
