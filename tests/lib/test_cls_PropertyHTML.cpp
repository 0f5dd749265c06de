#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "lib/TextFile.h"
#include "lib/cls_PropertyHTML.h"

namespace {

using Lines = std::vector<std::string>;

// The page every test works on: "pages\p.htm" below the program folder.
const char* const kPage = "pages\\p.htm";
std::string pageFile() { return testProgramFolder() + "/pages/p.htm"; }

std::string crlf(const Lines& lines) { return textfile::joinCrLf(lines); }

cls_PropertyHTML loadedPage(const Lines& lines) {
    writeFile(pageFile(), crlf(lines));
    cls_PropertyHTML page;
    page.Load(kPage);
    EXPECT_TRUE(page.FailHTMLLoad());
    return page;
}

Lines pageLines() { return textfile::splitLines(readFile(pageFile())); }

Lines items(const Collection<std::string>& coll) { return coll.items(); }

TEST(PageLoad, NonPageStopsAfterFifteenLongLinesAndAPageIsReadWhole) {
    Lines lines;
    for (int i = 0; i < 100; ++i)
        lines.push_back(std::string(1000, static_cast<char>('a' + i % 26)));
    writeFile(testProgramFolder() + "/notes.txt", crlf(lines));
    writeFile(testProgramFolder() + "/site/Big.HTML", crlf(lines));

    cls_PropertyHTML page;
    page.Load("notes.txt");
    EXPECT_TRUE(page.FailHTMLLoad());
    EXPECT_EQ(page.PagePath(), "notes.txt");
    ASSERT_EQ(page.TextHTML().size(), 15u * 1001u);
    EXPECT_EQ(page.TextHTML().substr(0, 3), " aa");
    EXPECT_EQ(page.TextHTML().substr(14 * 1001, 2), " o");

    page.Load("site\\Big.HTML");
    EXPECT_EQ(page.TextHTML().size(), 100u * 1001u);
    EXPECT_EQ(page.PagePath(), "site\\Big.HTML");

    // "@" marks an absolute path; any line end splits lines.
    writeFile(testProgramFolder() + "/abs.htm", "one\r\ntwo\rthree\nfour");
    page.Load("@" + testProgramFolder() + "/abs.htm");
    EXPECT_EQ(page.TextHTML(), " one two three four");
    EXPECT_TRUE(testDialogs().calls.empty());
}

TEST(PageLoad, MissingFileIsReportedAndKeepsTheLastGoodPath) {
    cls_PropertyHTML page = loadedPage({"<html>"});
    page.Load("pages\\none.htm");
    EXPECT_FALSE(page.FailHTMLLoad());
    EXPECT_EQ(page.TextHTML(), "");
    EXPECT_EQ(page.PagePath(), kPage);
    ASSERT_EQ(testDialogs().calls.size(), 1u);
    EXPECT_EQ(testDialogs().calls[0].text, w("Ошибка при чтении файла :pages\\none.htm"));
    EXPECT_EQ(testDialogs().calls[0].title, "");
}

TEST(PageText, QuotedValueTakesTheFirstQuotedTextOfTwoOrMoreCharacters) {
    EXPECT_EQ(pagehtml::QuotedValue(" src='a.swf' "), "a.swf");
    EXPECT_EQ(pagehtml::QuotedValue(" x='a' "), "");
    EXPECT_EQ(pagehtml::QuotedValue("=`ab\" c"), "ab") << "the closing mark may differ";
    EXPECT_EQ(pagehtml::QuotedValue("=\"abc"), "abc") << "unclosed: to the end";
    EXPECT_EQ(pagehtml::QuotedValue("no quote"), "");
    EXPECT_EQ(pagehtml::QuotedValue(std::string(34000, ' ') + "'late'"), "");
}

TEST(PageText, FindStrokaAndSoundReadIgnoreCase) {
    cls_PropertyHTML page = loadedPage(
        {"<HTML><head>", w("<p>Привет</p>"), "<BGSOUND loop=1 SRC=\"music/a.mid\">", "</head>"});
    EXPECT_TRUE(page.FindStroka(w("пРИВЕТ")));
    EXPECT_FALSE(page.FindStroka("absent"));
    EXPECT_EQ(page.Sound(), "music/a.mid");

    page = loadedPage({"<bgsound loop=1> src='x.wav'"});
    EXPECT_EQ(page.Sound(), "") << "src outside the tag does not count";
    page = loadedPage({"<p>no sound</p>"});
    EXPECT_EQ(page.Sound(), "");
}

TEST(PageTitle, ReadGivesTheTitleOrItsStandIns) {
    cls_PropertyHTML page = loadedPage({"<head>", w("<Title>Мой сайт</title>"), "</head>"});
    EXPECT_EQ(page.Titul(), w("Мой сайт"));
    page = loadedPage({"<head><title></title></head>"});
    EXPECT_EQ(page.Titul(), kPage);
    page = loadedPage({"<head></head>"});
    EXPECT_EQ(page.Titul(), w("Заголовок НЕ найден"));
    page = loadedPage({"<head><title>never closed"});
    EXPECT_THROW((void)page.Titul(), PageTextError);
}

TEST(PageTitle, WriteReplacesTheTitleOrPutsOneRightAfterHead) {
    cls_PropertyHTML page = loadedPage({"<html><head>", "<TITLE>Old</TITLE>", "</head>"});
    page.setTitul(w("Новый"));
    EXPECT_EQ(readFile(pageFile()), w("<html><head>\r\n<title>Новый</title>\r\n</head>\r\n\r\n"));

    page = loadedPage({"<html>", "<HEAD>", "<meta x>", "</head>"});
    page.setTitul("T");
    EXPECT_EQ(readFile(pageFile()),
              "<html>\r\n<HEAD><title>T</title>\r\n<meta x>\r\n</head>\r\n\r\n");
    EXPECT_TRUE(testDialogs().calls.empty());
}

TEST(PageTitle, WriteLeavesPagesWithoutHeadOrOverTwoMegabytesAlone) {
    const std::string noHead = "<html>\r\n<body>x</body>\r\n";
    writeFile(pageFile(), noHead);
    cls_PropertyHTML page;
    page.Load(kPage);
    page.setTitul("T");
    EXPECT_EQ(readFile(pageFile()), noHead);

    std::string big = "<html><head>\r\n";
    big.resize(2000001, 'x');
    writeFile(pageFile(), big);
    page.setTitul("T");
    EXPECT_EQ(readFile(pageFile()), big);

    EXPECT_EQ(testDialogs().messagesUtf8(),
              (Lines{"Тэги <head></head> не найдены - внесите вручную",
                     "Файл :" + pageFile() + " более 2Мб"}));
}

TEST(PageReferences, FlashAndPicturesAreCollectedOnceInTheStoredForm) {
    cls_PropertyHTML page = loadedPage({
        "<p>see film.swf without quotes</p>",
        "<embed src=\"media/a.swf\"><param value='media\\a.swf'>",
        "<img src=`img/b.GIF`><img src='img/c.jpg'><img src=\"img/b.gif\">",
        "<img src='x'>",
    });
    EXPECT_EQ(page.Flash(), "media\\a.swf");
    EXPECT_EQ(page.FlashKol(), 1u);
    EXPECT_EQ(items(page.FlashCollection()), Lines{"media\\a.swf"});
    EXPECT_EQ(page.PictureKol(), 2u);
    EXPECT_EQ(items(page.PictureCollection()), (Lines{"img\\b.GIF", "img\\c.jpg"}));
    EXPECT_EQ(page.FlashKol(), 1u) << "counting again starts afresh";

    // An extension with no quote mark anywhere before it is skipped, not fatal.
    page = loadedPage({"clip.swf then <embed src='b.swf'>"});
    EXPECT_EQ(page.Flash(), "b.swf");
    page = loadedPage({"<p>nothing</p>"});
    EXPECT_EQ(page.Flash(), "");
}

TEST(PageReferences, MetaTegCollectsTheValueAfterEachMarker) {
    cls_PropertyHTML page = loadedPage({
        "<meta name=\"keywords\" content=\"g-code, font\">",
        "<meta name=\"author\" content='Vorelt'>",
        "<meta name=\"other\" CONTENT=\"G-CODE, FONT\">",
    });
    Collection<std::string> found;
    found.Add("seen");
    page.ReadFailPoMetaTeg("content=", found);
    EXPECT_EQ(items(found), (Lines{"seen", "g-code, font", "Vorelt"}));
}

TEST(PageInserts, FlashBlockLineForLine) {
    cls_PropertyHTML page = loadedPage({"<html>", "<BODY bgcolor=x>", "</body>"});
    int x = 0, y = 240;
    page.InsertFlash("media/a.swf", x, y);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 240);
    EXPECT_EQ(pageLines(),
              (Lines{
                  "<html>",
                  "<BODY bgcolor=x>",
                  "<p>",
                  "<OBJECT classid=\"clsid:D27CDB6E-AE6D-11cf-96B8-444553540000\"",
                  "WIDTH=100 HEIGHT=240>",
                  "<PARAM NAME=movie VALUE=\"media/a.swf\">",
                  "<PARAM NAME=loop VALUE=false>",
                  "<PARAM NAME=menu VALUE=false>",
                  "<PARAM NAME=quality VALUE=high>",
                  "<PARAM NAME=bgcolor VALUE=#FFFFFF>",
                  "<EMBED src=\"media/a.swf\" loop=false menu=false quality=high "
                  "bgcolor=#FFFFFF  WIDTH=100 HEIGHT=240 TYPE=\"application/x-shockwave-flash\" "
                  "></EMBED>",
                  "</OBJECT></p>",
                  "</body>",
              }));
}

TEST(PageInserts, ImageAndSoundLinesAndSoundRemoval) {
    cls_PropertyHTML page = loadedPage({"<html><head>", "</head>", "<body>", "</body>"});
    page.InsertImage("img/a.png");
    page.setSound("snd/a.mid");
    EXPECT_EQ(pageLines(), (Lines{"<html><head>", "<bgsound src=\"snd/a.mid\" loop=\"0\" >",
                                  "</head>", "<body>", "<p><img src='img/a.png'></p>", "</body>"}));
    page.SoundDel();
    EXPECT_EQ(pageLines(), (Lines{"<html><head>", "</head>", "<body>",
                                  "<p><img src='img/a.png'></p>", "</body>"}));
}

TEST(PageInserts, JavaLinkIsNumberedAfterTheHighestFunction) {
    cls_PropertyHTML page = loadedPage({"<body>", "<script>", "function goto3(){", "}",
                                        "function goto1(){", "</script>", "</body>"});
    std::string target = "pages\\win.htm";
    int x = 0, y = 0;
    page.InsertJava(target, x, y);
    EXPECT_EQ(target, "pages/win.htm");
    EXPECT_EQ(x, 60);
    EXPECT_EQ(y, 50);
    const Lines lines = pageLines();
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(
        Lines(lines.begin() + 1, lines.begin() + 8),
        (Lines{"<script language=\"JavaScript\" > ", "function goto4(){",
               "OpWin = window.showModalDialog(\"pages/win.htm\", null, \"dialogWidth:60; "
               "dialogHeight:50; center:1 ; status:no;\")",
               "}", "</script>",
               w("<p align=\"center\"><a href=\"javascript:goto4();\">СсылкаJava 4</a></p>"), ""}));

    page = loadedPage({"<body>"});
    x = 300;
    page.InsertJava(target, x, y);
    EXPECT_EQ(pageLines()[2], "function goto1(){");
    EXPECT_NE(pageLines()[3].find("dialogWidth:300;"), std::string::npos);
}

TEST(PageMarks, AddReadDeleteRoundTrip) {
    cls_PropertyHTML page = loadedPage({"<html>", "<a href=one.htm>one</a>", "</html>"});
    Collection<std::string> marks;
    marks.Add("one");
    marks.Add(w("Два"));
    page.MetkaAdd(marks);
    EXPECT_EQ(pageLines(), (Lines{"<!--Metka=one-->", w("<!--Metka=Два-->"), "<html>",
                                  "<a href=one.htm>one</a>", "</html>"}));

    page.Load(kPage);
    Collection<std::string> read;
    page.MetkaRead(read);
    EXPECT_EQ(items(read), (Lines{"one", w("Два")}));

    page.MetkaDel(w(" два "));
    page.MetkaDel("one");
    EXPECT_EQ(pageLines(), (Lines{"<html>", "<a href=one.htm>one</a>", "</html>"}))
        << "only whole marks go; other text with =one stays";
}

TEST(PageMarks, DeleteKeepsTheRestOfTheLineAndReadWorksOnLongPages) {
    cls_PropertyHTML page =
        loadedPage({"  <p>x</p> <!--METKA=a--> tail ", "<!--Metka=b--><!--Metka=a-->"});
    page.MetkaDel("A");
    EXPECT_EQ(pageLines(), (Lines{"<p>x</p>  tail", "<!--Metka=b-->"}));

    page = loadedPage({std::string(40000, 'x'), "<!--Metka=far-->", std::string(40000, 'y'),
                       "<!--metka=farther-->"});
    Collection<std::string> read;
    page.MetkaRead(read);
    EXPECT_EQ(items(read), (Lines{"far", "farther"}));
}

TEST(PageNew, NewPageLineForLineAppendedToAnExistingFile) {
    std::filesystem::create_directory(testProgramFolder() + "/pages");
    cls_PropertyHTML page;
    std::string title;
    std::string text = w("Текст");
    page.NewPageHTML("pages\\new.htm", title, text);
    EXPECT_EQ(title, "pages\\new.htm");
    EXPECT_EQ(text, w("Текст"));
    const Lines expected = {
        "<html>",
        "<head>",
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">",
        "<meta content=\"Lesson From Vorelt\" name=\"GENERATOR\">",
        "<title>pages\\new.htm</title>",
        "</head>",
        "<body bgcolor=\"#FFFFFF\">",
        w("<p>Текст</p>"),
        "</body>",
        "</html>",
    };
    const std::string file = testProgramFolder() + "/pages/new.htm";
    EXPECT_EQ(readFile(file), crlf(expected));

    page.NewPageHTML("pages\\new.htm", title, text);
    EXPECT_EQ(readFile(file), crlf(expected) + crlf(expected));
}

TEST(PageRewrite, MissingPageThrowsAndCreatesNothing) {
    cls_PropertyHTML page = loadedPage({"<html><head><body>"});
    std::filesystem::remove(pageFile());
    int x = 0, y = 0;
    std::string java = "a.htm";
    Collection<std::string> marks;
    marks.Add("m");
    EXPECT_THROW(page.setTitul("T"), PageFileError);
    EXPECT_THROW(page.setSound("a.mid"), PageFileError);
    EXPECT_THROW(page.SoundDel(), PageFileError);
    EXPECT_THROW(page.InsertFlash("a.swf", x, y), PageFileError);
    EXPECT_THROW(page.InsertImage("a.gif"), PageFileError);
    EXPECT_THROW(page.InsertJava(java, x, y), PageFileError);
    EXPECT_THROW(page.MetkaDel("m"), PageFileError);
    EXPECT_THROW(page.MetkaAdd(marks), PageFileError);
    EXPECT_FALSE(std::filesystem::exists(pageFile()));
    EXPECT_TRUE(std::filesystem::is_empty(testProgramFolder() + "/pages"));

    std::string tit = "t", txt = "x";
    EXPECT_THROW(page.NewPageHTML("nofolder\\new.htm", tit, txt), PageFileError);
    EXPECT_FALSE(std::filesystem::exists(testProgramFolder() + "/nofolder"));
    EXPECT_TRUE(testDialogs().calls.empty());
}

// Rights and users are POSIX here; a read-only folder on Windows is another matter.
#ifndef _WIN32
// Write permission does not stop root, so as root the test drops to "nobody"
// for the rewrite.
class AsUnprivileged {
  public:
    AsUnprivileged() {
        if (geteuid() == 0) switched_ = seteuid(65534) == 0;
    }
    ~AsUnprivileged() {
        if (switched_) (void)seteuid(0);
    }
    bool canTest() const { return geteuid() != 0; }

  private:
    bool switched_ = false;
};

TEST(PageRewrite, ReadOnlyFolderLeavesThePageWholeAndNoTemporaryFile) {
    const std::string original = "<html><head>\r\n<title>Old</title>\r\n<body>\r\n";
    writeFile(pageFile(), original);
    cls_PropertyHTML page;
    page.Load(kPage);
    const std::string folder = testProgramFolder() + "/pages";
    chmod(testProgramFolder().c_str(), 0755);
    chmod(pageFile().c_str(), 0644);
    chmod(folder.c_str(), 0555);
    {
        AsUnprivileged user;
        if (!user.canTest()) {
            chmod(folder.c_str(), 0755);
            GTEST_SKIP() << "cannot drop privileges";
        }
        try {
            page.setTitul("New");
            ADD_FAILURE() << "the rewrite reported success";
        } catch (const PageFileError& e) {
            EXPECT_NE(e.message().find(w("записать")), std::string::npos)
                << "it is the write that fails";
        }
        EXPECT_THROW(page.InsertImage("a.gif"), PageFileError);
        Collection<std::string> marks;
        marks.Add("m");
        EXPECT_THROW(page.MetkaAdd(marks), PageFileError);
    }
    chmod(folder.c_str(), 0755);
    EXPECT_EQ(readFile(pageFile()), original);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, Lines{"p.htm"});
}
#endif

TEST(PageTagData, ForwardsToTheTagDataOperations) {
    EXPECT_EQ(cls_PropertyHTML::TEG_Data("ab<@XXX=100>cd", "<@", ">", 3), "XXX=100");
    EXPECT_EQ(cls_PropertyHTML::TEG_TegDataTeg("x<b>y</b>z", "<b>", "</b>", 1), "<b>y</b>");
    EXPECT_EQ(cls_PropertyHTML::TEG_Data_Del("<title>Old</title>", "<title", "</title>", 1),
              "<title></title>");
}

}  // namespace
