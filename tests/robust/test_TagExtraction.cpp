// Taking position tags out of a line: the same result as removing them one by
// one from the left (also where a removal joins a "<" and an "@" into a new
// tag), in time that grows with the line, not with its square.
#include <gtest/gtest.h>

#include <random>

#include "RobustSupport.h"
#include "lib/TagData.h"
#include "lib/Text_peob.h"
#include "main/ProjectFile.h"

namespace {

// The plain way: search from the start, take the tag, cut it out, again.
ProjectLine extractOneByOne(std::string text) {
    ProjectLine line;
    for (;;) {
        const auto opener = text.find("<@");
        if (opener == std::string::npos) break;
        const auto closer = text.find('>', opener);
        if (closer == std::string::npos) break;
        std::string tag = tagdata::TEG_Data(text, "<@", ">", opener + 1);
        line.TagPositions.Add(opener + 1);
        line.TagNames.Add(Text_peob::DoRavno(tag));
        line.TagValues.Add(Text_peob::PosleRavno(tag));
        text.erase(opener, closer - opener + 1);
    }
    line.Text = text;
    return line;
}

ProjectLine extract(const std::string& input) {
    Collection<ProjectLine> lines;
    lines.Add(ProjectLine{});
    std::string text = input;
    ExtractLineTags(lines, text);
    EXPECT_EQ(text, lines.Item(1).Text);
    return lines.Item(1);
}

TEST(TagExtraction, SameAsRemovingTagsOneByOne) {
    // Tags that only a removal forms: "<" + "<@x>" + "@B>" leaves "<@B>".
    const ProjectLine joined = extract("A<<@x>@B>C<<<@1>@@2>>D");
    EXPECT_EQ(joined.Text, "AC<>D");
    EXPECT_EQ(joined.TagPositions.items(), (std::vector<std::size_t>{3, 2, 5, 4}));
    EXPECT_EQ(joined.TagNames.items(), (std::vector<std::string>{"x", "B", "1", "@2"}));
    EXPECT_EQ(joined, extractOneByOne("A<<@x>@B>C<<<@1>@@2>>D"));

    std::mt19937 random(7);
    const std::string alphabet = "<@>= aX";
    for (int i = 0; i < 20000; ++i) {
        std::string input(random() % 40, ' ');
        for (char& c : input) c = alphabet[random() % alphabet.size()];
        ASSERT_EQ(extract(input), extractOneByOne(input)) << input;
    }
}

TEST(TagExtraction, LineOfAMillionCharactersFullOfTags) {
    std::string input;
    while (input.size() < 1000000) input += "A<@XXX=1>";
    Stopwatch clock;
    const ProjectLine line = extract(input);
    EXPECT_LT(clock.seconds(), kSecondsCeiling);
    EXPECT_EQ(line.Text, std::string(input.size() / 9, 'A'));
    ASSERT_EQ(line.TagPositions.Count(), input.size() / 9);
    EXPECT_EQ(line.TagPositions.items().back(), input.size() / 9 + 1);

    // A line of openers that nothing closes stays as it is.
    const std::string open(1000000, '<');
    Stopwatch again;
    EXPECT_EQ(extract(open + "@").Text, open + "@");
    EXPECT_LT(again.seconds(), kSecondsCeiling);
}

}  // namespace
