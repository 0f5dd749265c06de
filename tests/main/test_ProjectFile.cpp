#include <gtest/gtest.h>

#include "TestSupport.h"
#include "lib/ProgramFolder.h"
#include "main/ProjectFile.h"

namespace {

Project parse(const std::string& bytes) {
    EventPump none;
    return ParseProject(bytes, none);
}

std::vector<std::string> texts(const Project& p) {
    std::vector<std::string> out;
    for (const auto& line : p.ProjectLines) out.push_back(line.Text);
    return out;
}

const std::string kParameters = "4.97//a\r\n100//b\r\n4.4//c\r\n0.75//d\r\n";

TEST(ProjectTemplate, IsTheEightLinesInWindows1251WithCrLf) {
    const std::string path = joinPath(testProgramFolder(), "NewProject.txt");
    writeFile(path, "an older file that must be replaced whole");
    WriteProjectTemplate(path);
    EXPECT_EQ(readFile(path),
              w("4.97//Интервал по строкам в мм\r\n"
                "100//Максимальная ширина поля мм для отрисовки границы (синяя линия)\r\n"
                "4.4//Высота шрифта в мм\r\n"
                "0.75//Изменение ширины шрифта 0.5 (50%)\r\n"
                "Текст после тэга будет на расстоянии 50мм\r\n"
                "\r\n"
                "от левого края<@XXX=50>Этот текст на 50мм\r\n"
                "Пустая строка пропускается\r\n"));
}

TEST(ProjectTemplate, ReadsBackAsFourTextLinesWithOneTag) {
    const std::string path = joinPath(testProgramFolder(), "NewProject.txt");
    WriteProjectTemplate(path);
    EventPump none;
    const Project p = ReadProjectFile(path, none);
    EXPECT_EQ(p.ProjectPath, path);
    EXPECT_EQ(p.LineSpacing, 4.97);
    EXPECT_EQ(p.FieldWidth, 100);
    EXPECT_EQ(p.LetterHeight, 4.4);
    EXPECT_EQ(p.WidthFactor, 0.75);
    EXPECT_EQ(texts(p), (std::vector<std::string>{w("Текст после тэга будет на расстоянии 50мм"),
                                                  "", w("от левого краяЭтот текст на 50мм"),
                                                  w("Пустая строка пропускается")}));
    const ProjectLine& tagged = p.ProjectLines.Item(3);
    ASSERT_EQ(tagged.TagPositions.Count(), 1u);
    EXPECT_EQ(tagged.TagPositions.Item(1), 15u);
    EXPECT_EQ(tagged.TagNames.Item(1), "XXX");
    EXPECT_EQ(tagged.TagValues.Item(1), "50");
    EXPECT_EQ(p.ProjectLines.Item(1).TagPositions.Count(), 0u);
}

TEST(ProjectParameters, RejectionsSayNotAProjectAndWhy) {
    const std::vector<std::pair<std::string, std::string>> notProjects = {
        {"", "Файл пуст."},
        {"\r\n  \r\n\t\r\n\r\n\r\n", "Файл пуст."},
        {std::string("4//a\r\n\x00\x01PNG\r\n", 13), "Это двоичный файл, а не текст."},
        {"4.97//a\r\n100//b\r\n4.4//c\r\n",
         "В нём меньше четырёх строк параметров («значение//комментарий»): строк 3."},
        {"4.97\r\n100\r\n4.4\r\n0.75\r\nText\r\n",
         "Строка 1 не строка параметра: в ней нет «//» («значение//комментарий»)."},
        {"4.97//a\r\n100//b\r\n4.4\r\n0.75//d\r\n",
         "Строка 3 не строка параметра: в ней нет «//» («значение//комментарий»)."},
        {"0//a\r\n0.0//b\r\n-0//c\r\nabc//d\r\nText\r\n", "Параметр в строке 4 не число: «abc»."},
        {"0//a\r\n0.0//b\r\n-0//c\r\n0//d\r\n", "Все четыре параметра равны 0."},
    };
    for (const auto& [bytes, why] : notProjects) {
        try {
            parse(bytes);
            ADD_FAILURE() << "accepted: " << bytes;
        } catch (const NotAProjectError& e) {
            EXPECT_EQ(e.message(), w("Файл не является проектом\r\n" + why));
        }
    }
}

TEST(ProjectParameters, OneNonZeroValueSufficesAndTheLeadingNumberRuleApplies) {
    Project p = parse("0//a\r\n0//b\r\n0//c\r\n1//d\r\n");
    EXPECT_EQ(p.WidthFactor, 1);
    EXPECT_EQ(texts(p), std::vector<std::string>{""}) << "no text line still gives one empty line";

    p = parse("4,97//comma\r\n  -1.5e1mm//x\r\n\t7.25.3//y\r\n//z\r\n");
    EXPECT_EQ(p.LineSpacing, 4) << "a decimal comma reads as the integer part";
    EXPECT_EQ(p.FieldWidth, -15);
    EXPECT_EQ(p.LetterHeight, 7.25);
    EXPECT_EQ(p.WidthFactor, 0);
}

TEST(ProjectFile, UnreadablePathsAreNoProject) {
    EventPump none;
    EXPECT_THROW(ReadProjectFile(testProgramFolder(), none), NotAProjectError) << "a folder";
    EXPECT_THROW(ReadProjectFile(joinPath(testProgramFolder(), "missing.txt"), none),
                 NotAProjectError);
}

TEST(ProjectTextLines, CommentsSpacesAndEmptyLines) {
    const Project p = parse(kParameters +
                            "// a comment first: the next kept line is line 1\r\n"
                            "  kept as is  \r\n"
                            "  trimmed  // comment\r\n"
                            "   // only a comment\r\n"
                            "\r\n"
                            "//\r\n"
                            "a//b//c\r\n"
                            "last\r\n"
                            "  // a comment as the last line");
    EXPECT_EQ(texts(p), (std::vector<std::string>{"  kept as is  ", "trimmed", "", "a", "last"}));
}

TEST(ProjectTags, AdjacentTagsShareThePositionOfTheFollowingCharacter) {
    const Project p = parse(kParameters + "A<@XXX=10><@N=V>B\r\n");
    const ProjectLine& line = p.ProjectLines.Item(1);
    EXPECT_EQ(line.Text, "AB");
    EXPECT_EQ(line.TagPositions.items(), (std::vector<std::size_t>{2, 2}));
    EXPECT_EQ(line.TagNames.items(), (std::vector<std::string>{"XXX", "N"}));
    EXPECT_EQ(line.TagValues.items(), (std::vector<std::string>{"10", "V"}));
}

TEST(ProjectTags, NamesAndValuesFollowTheFirstEquals) {
    const Project p = parse(kParameters +
                            "<@noequals>x\r\n"
                            "<@XXX =5>x\r\n"
                            "<@  XXX=  7 >x<@a=b=c>\r\n"
                            "x<@>y\r\n");
    EXPECT_EQ(p.ProjectLines.Item(1).TagNames.Item(1), "noequals");
    EXPECT_EQ(p.ProjectLines.Item(1).TagValues.Item(1), "");
    EXPECT_EQ(p.ProjectLines.Item(2).TagNames.Item(1), "XXX ");
    EXPECT_EQ(p.ProjectLines.Item(2).TagValues.Item(1), "5");
    EXPECT_EQ(p.ProjectLines.Item(3).TagNames.Item(1), "XXX");
    EXPECT_EQ(p.ProjectLines.Item(3).TagValues.Item(1), "  7");
    EXPECT_EQ(p.ProjectLines.Item(3).TagPositions.items(), (std::vector<std::size_t>{1, 2}));
    EXPECT_EQ(p.ProjectLines.Item(3).TagValues.Item(2), "b=c");
    EXPECT_EQ(p.ProjectLines.Item(4).Text, "xy");
    EXPECT_EQ(p.ProjectLines.Item(4).TagNames.Item(1), "");
}

TEST(ProjectTags, AnUnfinishedTagStaysInTheText) {
    const Project p = parse(kParameters +
                            "ab<@XXX=5\r\n"
                            "a<@X=1>b<@XXX=2\r\n"
                            "a>b<@c\r\n");
    EXPECT_EQ(texts(p), (std::vector<std::string>{"ab<@XXX=5", "ab<@XXX=2", "a>b<@c"}));
    EXPECT_EQ(p.ProjectLines.Item(1).TagPositions.Count(), 0u);
    EXPECT_EQ(p.ProjectLines.Item(2).TagPositions.items(), std::vector<std::size_t>{2});
    EXPECT_EQ(p.ProjectLines.Item(3).TagPositions.Count(), 0u);
}

TEST(ProjectTags, TagsAfterACommentCutAreGone) {
    const Project p = parse(kParameters + "  a<@XXX=5>b  // <@XXX=9>\r\n");
    const ProjectLine& line = p.ProjectLines.Item(1);
    EXPECT_EQ(line.Text, "ab");
    EXPECT_EQ(line.TagPositions.items(), std::vector<std::size_t>{2});
}

TEST(ProjectEncoding, Utf8FilesAreConvertedAndLineEndsMayVary) {
    const std::string text = "Привет // comment";
    // UTF-8 without a byte order mark, CR, LF and CR LF endings mixed.
    Project p = parse("1//a\r2//b\n3//c\r\n4//d\n" + text + "\rЁж\n");
    EXPECT_EQ(texts(p), (std::vector<std::string>{w("Привет"), w("Ёж")}));
    EXPECT_EQ(p.FieldWidth, 2);

    p = parse(
        "\xEF\xBB\xBF"
        "1//a\r\n2//b\r\n3//c\r\n4//d\r\nabc\r\n");
    EXPECT_EQ(texts(p), std::vector<std::string>{"abc"}) << "the byte order mark is dropped";
    EXPECT_EQ((std::vector<double>{p.LineSpacing, p.FieldWidth, p.LetterHeight, p.WidthFactor}),
              (std::vector<double>{1, 2, 3, 4}))
        << "the mark is gone before the first parameter is read";

    const std::string cp1251 = w("1//a\r\n2//b\r\n3//c\r\n4//d\r\nТекст\r\n");
    p = parse(cp1251);
    EXPECT_EQ(texts(p), std::vector<std::string>{w("Текст")}) << "Windows-1251 bytes kept";
}

TEST(ProjectFile, LongFilesLetEventsRunAndHaveNoLimit) {
    std::string bytes = kParameters;
    const std::string longLine(40000, 'x');
    for (int i = 0; i < 40000; ++i) bytes += i == 7 ? longLine + "\r\n" : "line\r\n";
    int pumped = 0;
    EventPump pump([&] { ++pumped; }, std::chrono::milliseconds(0));
    const Project p = ParseProject(bytes, pump);
    EXPECT_EQ(p.ProjectLines.Count(), 40000u);
    EXPECT_EQ(p.ProjectLines.Item(8).Text.size(), 40000u);
    EXPECT_GT(pumped, 100);
}

}  // namespace

namespace {

TEST(ProjectFile, AnAddressInACodeTagIsNoComment) {
    EXPECT_EQ(CommentStart("A // note"), 2u);
    EXPECT_EQ(CommentStart("<@QR=https://x.example/a//b;20> // note"), 32u);
    EXPECT_EQ(CommentStart("<@DM=a//b"), 6u) << "no \">\": no tag, the old rule";
    EXPECT_EQ(CommentStart("<@XXX=1//2>"), 7u) << "other tags keep the old rule";
    EventPump none;
    const Project p =
        ParseProject("1//a\r\n1//b\r\n1//c\r\n1//d\r\n<@QR=http://v.example;9> // c\r\n", none);
    ASSERT_EQ(p.ProjectLines.Item(1).TagValues.Count(), 1u);
    EXPECT_EQ(p.ProjectLines.Item(1).TagValues.Item(1), "http://v.example;9");
}

}  // namespace
