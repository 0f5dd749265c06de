#include <gtest/gtest.h>

#include "TestSupport.h"
#include "gcode/GCodeProfile.h"
#include "lib/MachiningSettings.h"
#include "lib/NumberText.h"

namespace {

// A first start: one box before the window, with the four notices in order.
TEST(LoadSettings, EmptyStoreShowsOneNoticeOfAllFourInOrderAndStoresDefaults) {
    testSession().machiningSettings() = MachiningSettings{1, 2, "x", 1};
    testSession().machiningSettings() = LoadSettings();
    const auto& calls = testDialogs().calls;
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].text,
              w("Настройки не были заданы, записаны значения по умолчанию:\r\n\r\n"
                "Не задана Z при переходе между знаками\r\nПо умолчанию Z=5мм\r\n\r\n"
                "Не задана Z при переходе между строками\r\nПо умолчанию Z=15мм\r\n\r\n"
                "Линейная скорость перемещения не задана(F).\r\nПо умолчанию F=500.00\r\n\r\n"
                "Параметр наличия разрыва строки не задан.\r\nПо умолчанию "
                "делаются разрывы между словами и знаками препинания в строке"));
    EXPECT_EQ(calls[0].title, "VEzor");
    EXPECT_EQ(testSettings().values,
              (std::map<std::string, std::string>{
                  {"ZBezop", "5"}, {"ZBezopS", "15"}, {"SkorF", "500.00"}, {"NoRazriv", "0"}}));
    const auto& s = testSession().machiningSettings();
    EXPECT_EQ(s.ZBezop, 5.0);
    EXPECT_EQ(s.ZBezopS, 15.0);
    EXPECT_EQ(s.SkorF, "500.00");
    EXPECT_EQ(s.NoRazriv, 0);

    testDialogs().reset();
    testSession().machiningSettings() = LoadSettings();
    EXPECT_TRUE(testDialogs().calls.empty()) << "a second start shows no notice";
}

// Breaks inside letters came later: a store without them asks nothing, and
// the output profile decides (VEzor's program stays as it always was).
TEST(LoadSettings, BreaksInsideLettersNotStoredAreTheProfilesChoice) {
    testSettings().values = {
        {"ZBezop", "5"}, {"ZBezopS", "15"}, {"SkorF", "500.00"}, {"NoRazriv", "0"}};
    const MachiningSettings unset = LoadSettings();
    EXPECT_TRUE(testDialogs().calls.empty());
    EXPECT_FALSE(unset.RazrivVBukve.has_value());
    EXPECT_EQ(SettingsForProfile(unset, FindProfile("VEzor")).RazrivVBukve, 0);
    EXPECT_EQ(SettingsForProfile(unset, FindProfile("GRBL")).RazrivVBukve, 1);
    EXPECT_EQ(SettingsForProfile(unset, FindProfile("Laser")).RazrivVBukve, 1);
    testSettings().values["RazrivVBukve"] = "0";
    EXPECT_EQ(SettingsForProfile(LoadSettings(), FindProfile("GRBL")).RazrivVBukve, 0);
    testSettings().values["RazrivVBukve"] = "1";
    EXPECT_EQ(SettingsForProfile(LoadSettings(), FindProfile("VEzor")).RazrivVBukve, 1);
}

TEST(LoadSettings, OnlyTheMissingKeyIsNoticedAndWritten) {
    testSettings().values = {{"ZBezop", "0"}, {"ZBezopS", "12"}, {"SkorF", ""}, {"NoRazriv", "1"}};
    testSession().machiningSettings() = LoadSettings();
    ASSERT_EQ(testDialogs().messagesUtf8(),
              std::vector<std::string>{
                  "Линейная скорость перемещения не задана(F).\r\nПо умолчанию F=500.00"});
    EXPECT_EQ(testSettings().writes, 1);
    EXPECT_EQ(testSettings().values["SkorF"], "500.00");
    EXPECT_EQ(testSession().machiningSettings().ZBezop, 0.0);
    EXPECT_EQ(testSession().machiningSettings().ZBezopS, 12.0);
    EXPECT_EQ(testSession().machiningSettings().NoRazriv, 1);
}

TEST(LoadSettings, FeedStaysTextAndNonNumbersFallBackToDefaults) {
    numtext::setDecimalSeparator(',');
    testSettings().values = {
        {"ZBezop", "abc"}, {"ZBezopS", "7,5"}, {"SkorF", "750.00"}, {"NoRazriv", "yes"}};
    testSession().machiningSettings() = LoadSettings();
    EXPECT_EQ(testSession().machiningSettings().SkorF, "750.00");
    EXPECT_EQ(testSession().machiningSettings().ZBezopS, 7.5);
    EXPECT_EQ(testSession().machiningSettings().ZBezop, 5.0);
    EXPECT_EQ(testSession().machiningSettings().NoRazriv, 0);
    EXPECT_EQ(testDialogs().calls.size(), 1u);
    EXPECT_EQ(testSettings().values["ZBezop"], "5");
    EXPECT_EQ(testSettings().values["NoRazriv"], "0");
}

TEST(LoadSettings, AFeedWithALineBreakCountsAsMissing) {
    // Written behind "F" in every pen-down line, it would add lines to the program.
    testSettings().values = {
        {"ZBezop", "5"}, {"ZBezopS", "15"}, {"SkorF", "500\r\nG0Z-50"}, {"NoRazriv", "0"}};
    testSession().machiningSettings() = LoadSettings();
    EXPECT_EQ(testSession().machiningSettings().SkorF, "500.00");
    EXPECT_EQ(testSettings().values["SkorF"], "500.00");
    EXPECT_EQ(testDialogs().calls.size(), 1u);
}

}  // namespace
