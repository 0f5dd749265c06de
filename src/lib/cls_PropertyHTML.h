#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "lib/Collection.h"
#include "lib/VezorError.h"

// A page file that a rewrite needs could not be read or written. The page on
// disk is then exactly as it was before the call.
class PageFileError : public VezorError {
  public:
    using VezorError::VezorError;
};

// The loaded page text does not have the form an operation needs (a "<title>"
// that nothing closes).
class PageTextError : public VezorError {
  public:
    using VezorError::VezorError;
};

namespace pagehtml {

// The value in the first pair of quote marks (", ' or `, the closing one may
// differ from the opening one) within the first 34,000 characters; to the end
// of the text when nothing closes it. Values shorter than two characters give "".
std::string QuotedValue(std::string_view text);

// Case-insensitive search (Latin and Cyrillic letters of Windows-1251);
// 0-based index of the first match at or after from, npos when there is none.
std::size_t findNoCase(std::string_view text, std::string_view what, std::size_t from = 0);

}  // namespace pagehtml

// One HTML page at a time: Load reads it into TextHTML, the readers look at
// that text, the rewrites change the page file named by PagePath (they do not
// reload TextHTML). Texts are Windows-1251; paths are UTF-8. A page path that
// starts with "@" is absolute, any other is relative to the program folder.
// Every rewrite builds the whole new file in memory and replaces the old one
// atomically, so a failed rewrite leaves the page untouched.
class cls_PropertyHTML {
  public:
    // Reads the page: each line preceded by one space. A file that is not an
    // HTML page (no ".htm" in its name) is read only until its text reaches
    // 15,001 characters. A failure is shown to the user and leaves
    // FailHTMLLoad false.
    void Load(const std::string& FailWeb);

    // True when the page text holds the text (case-insensitive).
    bool FindStroka(const std::string& StrokaFind) const;

    // The text after "<title>" up to the next "<"; PagePath for an empty title;
    // "Заголовок НЕ найден" without a "<title>". Throws PageTextError when no
    // "<" follows the "<title>".
    std::string Titul() const;
    // Rewrites the page with the new title; without a title element the new one
    // goes right after the "<head>" start tag. Pages over 2,000,000 bytes and
    // pages without a usable "<head>" are left alone with a message.
    void setTitul(const std::string& NewTitul);

    // The src value of the first "<bgsound" tag; "" without one.
    std::string Sound() const;
    // Adds a background sound line after every line holding "<head".
    void setSound(const std::string& NewSound);
    // Removes every line holding "<bgsound".
    void SoundDel();

    // The first Flash movie the page refers to; "" without one.
    std::string Flash() const;
    // Refills FlashCollection with the page's ".swf" references; their count.
    std::size_t FlashKol();
    // Refills PictureCollection with the page's picture references; their count.
    std::size_t PictureKol();

    // Adds to Coll (in the stored "\" form) every quoted reference of the page
    // that contains the extension, unless Coll holds it already in either form.
    void ReadFailPoRashirenie(const std::string& Rashir, Collection<std::string>& Coll) const;
    // Adds to Coll the first quoted value after each occurrence of the marker,
    // unless Coll holds it already.
    void ReadFailPoMetaTeg(const std::string& MetaTeg, Collection<std::string>& Coll) const;

    // Adds a Flash movie block after every line holding "<body"; a zero size
    // becomes 100 (the caller's variable too).
    void InsertFlash(const std::string& NewFlash, int& FlashX, int& FlashY);
    // Adds a picture paragraph after every line holding "<body".
    void InsertImage(const std::string& NewImage);
    // Adds, after every line holding "<body", a script function gotoK (K one
    // above the highest number the page uses) and a link that opens NewJava in
    // a modal dialog. "\" in NewJava becomes "/"; zero sizes become 60 and 50
    // (the caller's variables too).
    void InsertJava(std::string& NewJava, int& JavaX, int& JavaY);

    // Appends the name of every mark "<!--Metka=" name "-->" of the page text.
    void MetkaRead(Collection<std::string>& MetkaColl) const;
    // Removes every mark of that name (case-insensitive) from the page file; a
    // line left empty by it is dropped.
    void MetkaDel(const std::string& MetkaColl);
    // Puts one mark line per name in front of the page's lines.
    void MetkaAdd(const Collection<std::string>& MetkaColl);

    // Appends a whole new page to the file Puti (an existing file is extended).
    // An empty title or text becomes Puti (the caller's variable too).
    void NewPageHTML(const std::string& Puti, std::string& Tit, std::string& txt);

    // The tag-data operations, on any text (they use none of the page state).
    static std::string TEG_Data(const std::string& St, const std::string& TEG_Start,
                                const std::string& TEG_End, std::size_t PozSt);
    static std::string TEG_TegDataTeg(const std::string& St, const std::string& TEG_Start,
                                      const std::string& TEG_End, std::size_t PozSt);
    static std::string TEG_Data_Del(const std::string& St, const std::string& TEG_Start,
                                    const std::string& TEG_End, std::size_t PozSt);

    const std::string& TextHTML() const { return textHTML_; }
    bool FailHTMLLoad() const { return failHTMLLoad_; }
    const std::string& PagePath() const { return pagePath_; }
    const Collection<std::string>& FlashCollection() const { return flashCollection_; }
    const Collection<std::string>& PictureCollection() const { return pictureCollection_; }

  private:
    std::vector<std::string> readPageLines() const;
    void writePageLines(const std::vector<std::string>& lines) const;
    // Rewrites the page with extra lines after every line that holds the marker.
    void insertAfterLinesWith(std::string_view marker, const std::vector<std::string>& extra);

    std::string textHTML_;
    bool failHTMLLoad_ = false;
    std::string pagePath_;
    Collection<std::string> flashCollection_;
    Collection<std::string> pictureCollection_;
};
