#include <gtest/gtest.h>

#include "TestSupport.h"
#include "lib/TagData.h"
#include "lib/VezorError.h"

namespace {

using namespace tagdata;

TEST(TEG_Data, InsideOfPositionTags) {
    EXPECT_EQ(TEG_Data("ab<@XXX=100>cd", "<@", ">", 3), "XXX=100");
    EXPECT_EQ(TEG_Data("ab<@XXX=100>cd", "<@", ">", 0), "XXX=100");
    EXPECT_EQ(TEG_Data("<@A=1>x<@B=2>", "<@", ">", 8), "B=2");
    EXPECT_EQ(TEG_Data("<@>", "<@", ">", 1), "");
    EXPECT_EQ(TEG_Data(w("<@Ширина=5>"), "<@", ">", 1), w("Ширина=5"));
    // No closer: the whole text, whatever the position.
    EXPECT_EQ(TEG_Data("ab<@XXX=100", "<@", ">", 3), "ab<@XXX=100");
    EXPECT_EQ(TEG_Data("ab<@X>", "<@", ">", 100), "ab<@X>");
    EXPECT_EQ(TEG_Data("", "<@", ">", 1), "");
    // No opener: the data begin at position (length of the opener).
    EXPECT_EQ(TEG_Data("abc>def", "<@", ">", 1), "bc");
    EXPECT_EQ(TEG_Data("a=b>", "", ">", 1), "a=b");
}

TEST(TEG_Data, CloserBeforeTheOpenersEndIsAnInvalidCall) {
    EXPECT_THROW(TEG_Data("x>y<@a>", "<@", ">", 1), InvalidCallError);
    EXPECT_THROW(TEG_Data(">", "<@>", ">", 1), InvalidCallError);
    EXPECT_THROW(TEG_Data("<@a>", "<@a>", "@", 1), InvalidCallError);
}

TEST(TEG_TegDataTeg, MarkersWithTheirContent) {
    EXPECT_EQ(TEG_TegDataTeg("x<b>y</b>z", "<b>", "</b>", 1), "<b>y</b>");
    EXPECT_EQ(TEG_TegDataTeg("<b>1</b><b>2</b>", "<b>", "</b>", 6), "<b>2</b>");
    EXPECT_THROW(TEG_TegDataTeg("<b>1</b><b>2</b>", "<b>", "</b>", 4), InvalidCallError)
        << "the closer is searched from the position too";
    EXPECT_EQ(TEG_TegDataTeg("no tags", "<b>", "</b>", 1), "no tags");
    EXPECT_EQ(TEG_TegDataTeg("<b>y</b>", "<b>", "</b>", 50), "<b>y</b>");
    EXPECT_THROW(TEG_TegDataTeg("x<b>y", "<b>", "</b>", 1), InvalidCallError);
    EXPECT_THROW(TEG_TegDataTeg("</b><b>y", "<b>", "</b>", 1), InvalidCallError);
    EXPECT_THROW(TEG_TegDataTeg("x<b>y", "<b>", ">", 1), InvalidCallError)
        << "the opener's own '>' is no closer";
}

TEST(TEG_Data_Del, EmptiesTheElementKeepingBothTags) {
    EXPECT_EQ(TEG_Data_Del("<title>Old</title>", "<title", "</title>", 1), "<title></title>");
    EXPECT_EQ(TEG_Data_Del("<p><title lang=\"ru\">Old</title>x", "<title", "</title>", 1),
              "<p><title lang=\"ru\"></title>x");
    EXPECT_EQ(TEG_Data_Del("<title></title>", "<title", "</title>", 1), "<title></title>");
    // Without an opener the first ">" of the text ends the kept part.
    EXPECT_EQ(TEG_Data_Del("a>b</t>", "<x", "</t>", 1), "a></t>");
    // Without any ">" before the closer nothing before it stays.
    EXPECT_EQ(TEG_Data_Del("abc END", "<x", "END", 1), "END");
    EXPECT_THROW(TEG_Data_Del("<title>Old", "<title", "</title>", 1), InvalidCallError);
    EXPECT_THROW(TEG_Data_Del("<title Old</title>", "<title", "</title>", 1), InvalidCallError);
    EXPECT_THROW(TEG_Data_Del("</title><title>x", "<title", "</title>", 1), InvalidCallError);
}

}  // namespace
