// Reading a page's references and removing its marks: the same result as the
// step-by-step way (walking back from every match to its quote mark, looking
// each value up in the whole collection, erasing mark after mark), in time
// that grows with the page, not with its square.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "RobustSupport.h"
#include "TestSupport.h"
#include "lib/Fail_YN.h"
#include "lib/ProgramFolder.h"
#include "lib/TextFile.h"
#include "lib/Text_peob.h"
#include "lib/cls_PropertyHTML.h"

namespace {

// The plain way, step by step.
void referencesOneByOne(std::string_view text, const std::string& extension,
                        Collection<std::string>& coll) {
    std::size_t from = 0;
    for (;;) {
        const auto match = pagehtml::findNoCase(text, extension, from);
        if (match == std::string::npos) return;
        const auto quote = text.substr(0, match).find_last_of("\"'`");
        if (quote == std::string_view::npos) {
            from = match + extension.size();
            continue;
        }
        const std::string value = pagehtml::QuotedValue(text.substr(quote));
        from = std::max(quote + value.size(), match + 1);
        if (value.empty()) continue;
        const std::string local = Fail_YN::SlashOnLOCAL(value);
        if (Text_peob::strInCollection(coll, Fail_YN::SlashOnWWW(value)) == 0 &&
            Text_peob::strInCollection(coll, local) == 0)
            coll.Add(local);
    }
}

void metaValuesOneByOne(std::string_view text, const std::string& marker,
                        Collection<std::string>& coll) {
    std::size_t from = 0;
    for (;;) {
        const auto match = pagehtml::findNoCase(text, marker, from);
        if (match == std::string::npos) return;
        const auto quote = text.find_first_of("\"'`", match + marker.size());
        if (quote == std::string_view::npos) return;
        const std::string value = pagehtml::QuotedValue(text.substr(quote));
        from = quote + value.size() + 1;
        if (!value.empty() && Text_peob::strInCollection(coll, value) == 0) coll.Add(value);
    }
}

// A mark "<!--Metka=" name "-->" with that name (either case, spaces around
// it) at pos; its length, 0 when there is none.
std::size_t markAt(const std::string& line, std::size_t pos, const std::string& name) {
    const std::string open = "<!--metka=";
    if (pagehtml::findNoCase(std::string_view(line).substr(pos, open.size()), open) != 0) return 0;
    std::size_t i = pos + open.size();
    while (i < line.size() && line[i] == ' ') ++i;
    if (pagehtml::findNoCase(std::string_view(line).substr(i, name.size()), name) != 0 ||
        line.size() - i < name.size())
        return 0;
    i += name.size();
    while (i < line.size() && line[i] == ' ') ++i;
    if (line.compare(i, 3, "-->") != 0) return 0;
    return i + 3 - pos;
}

std::string marksRemovedOneByOne(const std::string& page, const std::string& name) {
    std::vector<std::string> out;
    for (std::string line : textfile::splitLines(page)) {
        bool changed = false;
        for (std::size_t at = pagehtml::findNoCase(line, "<!--metka="); at != std::string::npos;
             at = pagehtml::findNoCase(line, "<!--metka=", at)) {
            const std::size_t length = markAt(line, at, name);
            if (length == 0) {
                ++at;
                continue;
            }
            line.erase(at, length);
            changed = true;
        }
        if (changed) {
            const auto first = line.find_first_not_of(' ');
            line = first == std::string::npos
                       ? std::string()
                       : line.substr(first, line.find_last_not_of(' ') - first + 1);
            if (line.empty()) continue;
        }
        out.push_back(line);
    }
    return textfile::joinCrLf(out);
}

cls_PropertyHTML loadedPage(const std::string& bytes) {
    writeFile(joinPath(testProgramFolder(), "p.htm"), bytes);
    cls_PropertyHTML page;
    page.Load("p.htm");
    EXPECT_TRUE(page.FailHTMLLoad());
    return page;
}

TEST(PageTexts, ReferencesAsTheStepByStepWalk) {
    std::mt19937 random(11);
    const std::vector<std::string> pieces = {"\"", "'", "`", ".gif", ".GIF", "a", "A",
                                             "\\", "/", " ", "\n",   "c=",   "C="};
    for (int i = 0; i < 3000; ++i) {
        std::string bytes;
        for (int n = static_cast<int>(random() % 30); n > 0; --n)
            bytes += pieces[random() % pieces.size()];
        const cls_PropertyHTML page = loadedPage(bytes);
        Collection<std::string> before;
        if (i % 3 == 0) before.Add("A/A.GIF");  // found in either separator form
        if (i % 5 == 0) before.Add("");
        Collection<std::string> expected = before;
        Collection<std::string> found = before;
        referencesOneByOne(page.TextHTML(), ".gif", expected);
        page.ReadFailPoRashirenie(".gif", found);
        ASSERT_EQ(found, expected) << bytes;

        Collection<std::string> expectedMeta = before;
        Collection<std::string> foundMeta = before;
        metaValuesOneByOne(page.TextHTML(), "c=", expectedMeta);
        page.ReadFailPoMetaTeg("c=", foundMeta);
        ASSERT_EQ(foundMeta, expectedMeta) << bytes;
    }
}

TEST(PageTexts, MarksRemovedAsOneByOne) {
    std::mt19937 random(13);
    const std::vector<std::string> pieces = {"<!--Metka=", "<!--metka=", "x",  "X", "y",
                                             " ",          "-->",        "--", "<", "\n"};
    const std::string path = joinPath(testProgramFolder(), "m.htm");
    // Each case rewrites a file; a few hundred keep the sanitized run short.
    for (int i = 0; i < 600; ++i) {
        std::string bytes;
        for (int n = static_cast<int>(random() % 25); n > 0; --n)
            bytes += pieces[random() % pieces.size()];
        writeFile(path, bytes);
        cls_PropertyHTML page;
        page.Load("m.htm");
        page.MetkaDel(" x ");
        ASSERT_EQ(readFile(path), marksRemovedOneByOne(bytes, "x")) << bytes;
    }

    // A line of a megabyte of marks.
    std::string line;
    while (line.size() < 1000000) line += "<!--Metka=x--><!--Metka=y-->";
    writeFile(path, line + "\r\n");
    Stopwatch clock;
    cls_PropertyHTML page;
    page.Load("m.htm");
    page.MetkaDel("x");
    EXPECT_LT(clock.seconds(), kSecondsCeiling);
    std::string expected;
    while (expected.size() < line.size() / 2) expected += "<!--Metka=y-->";
    EXPECT_EQ(readFile(path), expected + "\r\n");
}

TEST(PageTexts, PageOfAMegabyteFullOfReferences) {
    // One quote mark and then nothing but extensions.
    std::string one = "<html>\"";
    while (one.size() < 1000000) one += ".gif";
    // Tens of thousands of different pictures.
    std::string many = "<html>";
    for (int i = 0; many.size() < 1000000; ++i)
        many += "<img src='p" + std::to_string(i) + ".gif'>";
    std::string marks = "<html>";
    for (int i = 0; marks.size() < 1000000; ++i)
        marks += "<meta content='m" + std::to_string(i) + "'>";

    Stopwatch clock;
    cls_PropertyHTML page = loadedPage(one);
    EXPECT_EQ(page.PictureKol(), 1u);
    page = loadedPage(many);
    EXPECT_GT(page.PictureKol(), 40000u);
    EXPECT_EQ(page.PictureCollection().Item(2), "p1.gif");
    page = loadedPage(marks);
    Collection<std::string> meta;
    page.ReadFailPoMetaTeg("content=", meta);
    EXPECT_GT(meta.Count(), 40000u);
    Collection<std::string> names;
    page.MetkaRead(names);
    EXPECT_LT(clock.seconds(), kSecondsCeiling);
}

}  // namespace
