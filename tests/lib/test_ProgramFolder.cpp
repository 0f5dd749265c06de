#include <gtest/gtest.h>

#include "TestSupport.h"
#include "lib/ProgramFolder.h"
#include "lib/TextFile.h"
#include "lib/Win1251.h"

namespace {

std::string in(const std::string& relative) { return joinPath(testProgramFolder(), relative); }

TEST(ProgramPlace, BuildFolderInstalledFirstStartAndNoWayToMakeIt) {
    writeFile(in("build/font/A/65"), "");
    writeFile(in("usr/share/vezor/font/A/65"), "");
    writeFile(in("usr/bin/vezor"), "");
    const std::string user = in("home/VEzor");

    ProgramPlace place = SettleProgramPlace(in("build/"), user);
    EXPECT_EQ(place.folder, in("build"));
    EXPECT_EQ(place.installedFonts, "");
    EXPECT_EQ(place.notice, "");
    EXPECT_FALSE(textfile::isDirectory(user)) << "a build folder makes no user's folder";

    place = SettleProgramPlace(in("usr/bin"), user);
    EXPECT_EQ(place.folder, user);
    EXPECT_EQ(place.installedFonts, in("usr/share/vezor/font"));
    EXPECT_TRUE(textfile::isDirectory(user + "/font"));
    EXPECT_NE(win1251::toUtf8(place.notice).find("Создана папка программы " + user),
              std::string::npos)
        << win1251::toUtf8(place.notice);
    EXPECT_EQ(SettleProgramPlace(in("usr/bin"), user).notice, "") << "only the first start tells";

    writeFile(in("home/file"), "");
    place = SettleProgramPlace(in("usr/bin"), in("home/file/VEzor"));
    EXPECT_TRUE(win1251::toUtf8(place.notice).starts_with("Не удалось создать папку "));
}

}  // namespace
