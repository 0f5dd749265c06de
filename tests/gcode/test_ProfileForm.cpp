#include <gtest/gtest.h>

#include "TestSupport.h"
#include "gcode/ProfileForm.h"
#include "lib/MachiningSettings.h"
#include "lib/NumberText.h"
#include "lib/Win1251.h"

namespace {

std::string utf8(const std::string& cp1251) { return win1251::toUtf8(cp1251); }

// What the dialog shows reads back to the same profile, in a comma locale too,
// and a typed value lands in the profile as a number.
TEST(ProfileForm, ValuesReadBackAndTakeTheUsersDecimalMark) {
    for (const GCodeProfile& shipped : ShippedProfiles()) {
        const ProfileValues values = ValuesOfProfile(shipped, ',');
        EXPECT_EQ(ProfileToText(ProfileWithValues(shipped, values)), ProfileToText(shipped));
    }
    GCodeProfile mine = ShippedProfiles()[1];
    mine.name = "Mine";
    ProfileValues values = ValuesOfProfile(mine, ',');
    EXPECT_EQ(values["junction_deviation"], "0,01");
    values["depth"] = "-0,2";
    values["passes"] = "3";
    values["pen_down"] = "G1Z{Z}F{P}\r\nG4P0.1";  // pasted with CR LF
    const GCodeProfile edited = ProfileWithValues(mine, values);
    EXPECT_EQ(edited.depth, -0.2);
    EXPECT_EQ(edited.passes, 3);
    EXPECT_EQ(edited.penDown, "G1Z{Z}F{P}\nG4P0.1");
    EXPECT_EQ(edited.comments, mine.comments) << "what the dialog does not show is kept";
}

TEST(ProfileForm, RefusedValuesNameTheFieldAsTheDialogLabelsIt) {
    GCodeProfile mine = ShippedProfiles()[1];
    mine.name = "Mine";
    const std::pair<std::pair<const char*, const char*>, const char*> bad[] = {
        {{"plunge_feed", "0"}, "Профиль «Mine»: Подача врезания, мм/мин: нужно положительное"},
        {{"plunge_feed", "fast"}, "Подача врезания, мм/мин: нужно положительное число"},
        {{"rapid", "G0X{X}Y{Y}\nM0"}, "Холостой ход: должно быть одной строкой"},
        {{"passes", "1.5"}, "Проходов: нужно целое число от 1 до 100"},
        {{"line", "G1X{X}"}, "Рабочий ход: нужны {X} и {Y}"},  // the whole-profile check
    };
    for (const auto& [value, expected] : bad) {
        ProfileValues values = ValuesOfProfile(mine, '.');
        values[value.first] = value.second;
        try {
            ProfileWithValues(mine, values);
            ADD_FAILURE() << expected;
        } catch (const ProfileValueError& e) {
            EXPECT_NE(utf8(e.message()).find(expected), std::string::npos) << utf8(e.message());
        }
    }

    std::vector<GCodeProfile> all = ShippedProfiles();
    all.push_back(mine);
    EXPECT_EQ(NewProfileName(w("  Мой GRBL "), all), w("Мой GRBL"));
    for (const auto& [typed, expected] :
         {std::pair{"grbl", "Профиль с именем «GRBL» уже есть"},
          std::pair{"MINE", "Профиль с именем «Mine» уже есть"}, std::pair{"  ", "Введите имя"},
          std::pair{"a\nb", "одной строкой"}}) {
        try {
            NewProfileName(typed, all);
            ADD_FAILURE() << typed;
        } catch (const ProfileValueError& e) {
            EXPECT_NE(utf8(e.message()).find(expected), std::string::npos) << utf8(e.message());
        }
    }
}

// Whole heights are stored as they always were, so the default program stays;
// decimals take either mark and are stored with ".".
TEST(ProfileForm, HeightsTypedWithDecimals) {
    EXPECT_EQ(StoredHeightText("0,5"), "0.5") << "either mark in any locale";
    numtext::setDecimalSeparator(',');
    EXPECT_EQ(StoredHeightText("5"), "5");
    EXPECT_EQ(StoredHeightText("0,5"), "0.5");
    EXPECT_EQ(StoredHeightText(" 2.25 "), "2.25");
    EXPECT_EQ(StoredHeightText(""), "");
    EXPECT_EQ(StoredHeightText("-1"), std::nullopt);
    EXPECT_EQ(StoredHeightText("5 mm"), std::nullopt);
    EXPECT_EQ(ReadHeightSetting("0.5"), 0.5);
    EXPECT_EQ(HeightText(0.5), "0,5");
}

}  // namespace
