#include <gtest/gtest.h>

#include "TestSupport.h"
#include "lib/ProgramFolder.h"
#include "lib/Win1251.h"
#include "main/MissingLetters.h"
#include "main/ProjectSource.h"

namespace {

TEST(ProjectSource, SavingGivesBackTheFileWithEditsInItsOwnEncoding) {
    // Windows-1251, comments and tags and a comment line, a tab in a value.
    const std::string bytes =
        w("4.97\t//Интервал\r\n100//Поле\r\n4.4//Высота\r\n0.75//Ширина\r\n"
          "Привет<@XXX=10>мир // шутка\r\n// только комментарий\r\n\r\n");
    ProjectSource source = DecodeProjectSource(bytes);
    EXPECT_EQ(source.encoding, ProjectEncoding::Windows1251);
    EXPECT_EQ(EncodeProjectSource(source), bytes);
    EXPECT_EQ(ParameterValue(source, 0), "4.97\t");
    EXPECT_EQ(SourceText(source), "Привет<@XXX=10>мир // шутка\n// только комментарий\n");

    SetParameterValue(source, 2, "6//x");
    SetSourceText(source, "Ёлка\r\nB");
    EXPECT_EQ(EncodeProjectSource(source),
              w("4.97\t//Интервал\r\n100//Поле\r\n6//Высота\r\n0.75//Ширина\r\nЁлка\r\nB\r\n"));
    EventPump pump;
    const Project project = ParseProjectSource(source, pump);
    EXPECT_EQ(project.LetterHeight, 6);
    EXPECT_EQ(project.ProjectLines.Item(1).Text, w("Ёлка"));

    // UTF-8, with and without a byte order mark, and a line end of its own: kept UTF-8.
    for (const std::string mark : {"", "\xEF\xBB\xBF"}) {
        ProjectSource utf8 = DecodeProjectSource(mark + "1//a\n2//б\n3//c\n4//d\nЖ");
        EXPECT_NE(utf8.encoding, ProjectEncoding::Windows1251);
        SetSourceText(utf8, "Жук 日本");
        EXPECT_EQ(EncodeProjectSource(utf8), mark + "1//a\r\n2//б\r\n3//c\r\n4//d\r\nЖук 日本\r\n");
    }
}

TEST(ProjectSource, AWindows1251ProjectRefusesCharactersItCannotHold) {
    const std::string path = joinPath(testProgramFolder(), "p.txt");
    const std::string before = w("1//a\r\n2//b\r\n3//c\r\n4//d\r\nТекст\r\n");
    writeFile(path, before);
    ProjectSource source = DecodeProjectSource(before);
    SetSourceText(source, "Текст 日本 ✓ 日");
    try {
        WriteProjectSource(path, source);
        FAIL() << "written";
    } catch (const ProjectEncodingError& e) {
        EXPECT_EQ(e.message(), w("В строке 5 есть знаки, которых нет в кодировке файла проекта "
                                 "(Windows-1251). Проект не записан."));
    }
    EXPECT_EQ(readFile(path), before);
}

TEST(MissingLetters, MarksLookedUpCharactersOutsideCommentsAndTags) {
    std::array<bool, 256> missing{};
    missing['~'] = true;
    missing[' '] = true;
    EXPECT_EQ(MissingLetterPositions("A~<@X~=1>~ B//~", missing), (std::vector<std::size_t>{1, 9}));
    EXPECT_EQ(MissingLetterPositions("<@~", missing), (std::vector<std::size_t>{2}))
        << "an unfinished tag is text";
    EXPECT_EQ(MissingLetterPositions("<@~//>~", missing), (std::vector<std::size_t>{2}));

    // In a text box's line a character Windows-1251 lacks is one missing letter,
    // also when it takes two code units; in a tag or a comment it is none.
    missing[win1251::kForeign] = true;
    EXPECT_EQ(MissingLetterSpans(u"AΩ\U0001F600~<@Xλ=1>B//你", missing),
              (std::vector<TextSpan>{{1, 1}, {2, 2}, {4, 1}}));
}

}  // namespace
