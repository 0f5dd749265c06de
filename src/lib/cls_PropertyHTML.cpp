#include "lib/cls_PropertyHTML.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <unordered_set>

#include "lib/Dialogs.h"
#include "lib/DiskFiles.h"
#include "lib/Fail_YN.h"
#include "lib/ProgramFolder.h"
#include "lib/TagData.h"
#include "lib/TextFile.h"
#include "lib/Win1251.h"

namespace {

constexpr std::size_t kNonPageReadLimit = 15001;  // text length that ends reading a non-page
constexpr std::size_t kQuotedValueWindow = 34000;
constexpr std::uintmax_t kTitleRewriteLimit = 2000000;  // bytes
constexpr char kQuote = '"';

bool sameNoCase(char a, char b) { return win1251::toLower(a) == win1251::toLower(b); }

bool containsNoCase(std::string_view text, std::string_view what) {
    return pagehtml::findNoCase(text, what) != std::string::npos;
}

bool isQuoteMark(char c) { return c == '"' || c == '\'' || c == '`'; }

// The texts of a collection as Text_peob::StrRavnoStr compares them (letter
// case ignored, an empty text equal to nothing), for lookups that do not walk
// the whole collection each time.
class ReferenceSet {
  public:
    explicit ReferenceSet(const Collection<std::string>& items) {
        for (const auto& item : items) add(item);
    }
    bool contains(std::string_view text) const {
        return !text.empty() && keys_.contains(key(text));
    }
    void add(std::string_view text) {
        if (!text.empty()) keys_.insert(key(text));
    }

  private:
    static std::string key(std::string_view text) {
        std::string folded(text);
        for (char& c : folded) c = win1251::toLower(c);
        return folded;
    }
    std::unordered_set<std::string> keys_;
};

std::string trimSpaces(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return std::string(s.substr(first, s.find_last_not_of(' ') - first + 1));
}

std::string inQuotes(std::string_view text) {
    std::string out;
    out += kQuote;
    out += text;
    out += kQuote;
    return out;
}

// "@" marks an absolute path; anything else lies below the program folder and
// may still be written with Windows separators.
std::string resolvePagePath(const std::string& path) {
    if (!path.empty() && path[0] == '@') return path.substr(1);
    std::string relative = path;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    return joinPath(Fail_YN::AppPath(), relative);
}

std::string readPageFile(const std::string& fullPath) {
    try {
        return textfile::readBytes(fullPath);
    } catch (const VezorError& e) {
        throw PageFileError(e.message());
    }
}

void writePageFile(const std::string& fullPath, std::string_view bytes) {
    try {
        textfile::writeAtomically(fullPath, bytes);
    } catch (const VezorError& e) {
        throw PageFileError(e.message());
    }
}

// Splits a file into lines as it is read, so that a long file that is not a
// page need not be read whole. Line ends are CR LF, CR or LF.
class LineReader {
  public:
    explicit LineReader(const std::string& path) : file_(disk::openRegularFile(path), &close) {}
    bool isOpen() const { return file_ != nullptr; }
    bool failed() const { return failed_; }

    bool next(std::string& line) {
        line.clear();
        bool any = false;
        for (;;) {
            if (pos_ == size_ && !refill()) return any;
            const char c = buffer_[pos_++];
            if (c == '\n') return true;
            if (c == '\r') {
                if ((pos_ < size_ || refill()) && buffer_[pos_] == '\n') ++pos_;
                return true;
            }
            line += c;
            any = true;
        }
    }

  private:
    static int close(FILE* f) { return f ? std::fclose(f) : 0; }
    bool refill() {
        if (failed_) return false;
        pos_ = 0;
        size_ = std::fread(buffer_.data(), 1, buffer_.size(), file_.get());
        if (size_ == 0 && std::ferror(file_.get())) failed_ = true;
        return size_ > 0;
    }

    std::unique_ptr<FILE, int (*)(FILE*)> file_;
    std::array<char, 1 << 16> buffer_{};
    std::size_t pos_ = 0;
    std::size_t size_ = 0;
    bool failed_ = false;
};

// The decimal number right at the start of the text (blanks skipped); 0 without one.
long long leadingWholeNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    long long n = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (n > 100000000000LL) break;  // a number this long is no function name of ours
        n = n * 10 + (text[i] - '0');
    }
    return n;
}

// Length of a mark "<!--Metka=" name "-->" starting at pos whose name equals the
// given one ignoring case and surrounding spaces; 0 when no such mark stands there.
std::size_t markLengthAt(std::string_view line, std::size_t pos, std::string_view name) {
    static constexpr std::string_view kOpen = "<!--metka=";
    static constexpr std::string_view kClose = "-->";
    if (pagehtml::findNoCase(line.substr(pos, kOpen.size()), kOpen) != 0) return 0;
    std::size_t i = pos + kOpen.size();
    while (i < line.size() && line[i] == ' ') ++i;
    if (line.size() - i < name.size()) return 0;
    for (std::size_t k = 0; k < name.size(); ++k)
        if (!sameNoCase(line[i + k], name[k])) return 0;
    i += name.size();
    while (i < line.size() && line[i] == ' ') ++i;
    if (line.substr(i, kClose.size()) != kClose) return 0;
    return i + kClose.size() - pos;
}

}  // namespace

namespace pagehtml {

std::size_t findNoCase(std::string_view text, std::string_view what, std::size_t from) {
    if (from > text.size()) return std::string::npos;
    const auto it = std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(),
                                what.begin(), what.end(), sameNoCase);
    if (it == text.end() && !what.empty()) return std::string::npos;
    return static_cast<std::size_t>(it - text.begin());
}

std::string QuotedValue(std::string_view text) {
    text = text.substr(0, kQuotedValueWindow);
    const auto open = std::find_if(text.begin(), text.end(), isQuoteMark);
    if (open == text.end()) return {};
    const auto close = std::find_if(open + 1, text.end(), isQuoteMark);
    std::string value(open + 1, close);
    return value.size() >= 2 ? value : std::string();
}

}  // namespace pagehtml

using pagehtml::findNoCase;

void cls_PropertyHTML::Load(const std::string& FailWeb) {
    textHTML_.clear();
    failHTMLLoad_ = false;
    const auto htm = findNoCase(FailWeb, ".htm");
    const bool isPage = htm != std::string::npos && htm > 0;

    const std::string full = resolvePagePath(FailWeb);
    bool ok = !textfile::isDirectory(full);
    if (ok) {
        LineReader reader(full);
        ok = reader.isOpen();
        std::string line;
        while (ok && reader.next(line)) {
            textHTML_ += ' ';
            textHTML_ += line;
            if (!isPage && textHTML_.size() >= kNonPageReadLimit) break;
        }
        ok = ok && !reader.failed();
    }
    if (!ok) {
        dialogs().message(cp("Ошибка при чтении файла :") + win1251::fromUtf8(FailWeb), "");
        return;
    }
    pagePath_ = FailWeb;
    failHTMLLoad_ = true;
}

bool cls_PropertyHTML::FindStroka(const std::string& StrokaFind) const {
    return containsNoCase(textHTML_, StrokaFind);
}

std::string cls_PropertyHTML::Titul() const {
    static constexpr std::string_view kTitle = "<title>";
    const auto open = findNoCase(textHTML_, kTitle);
    if (open == std::string::npos) return cp("Заголовок НЕ найден");
    const auto start = open + kTitle.size();
    const auto end = textHTML_.find('<', start);
    if (end == std::string::npos)
        throw PageTextError(cp("Заголовок страницы не закрыт: ") + win1251::fromUtf8(pagePath_));
    const std::string title = textHTML_.substr(start, end - start);
    return title.empty() ? pagePath_ : title;
}

void cls_PropertyHTML::setTitul(const std::string& NewTitul) {
    static constexpr std::string_view kOpen = "<title>";
    static constexpr std::string_view kClose = "</title>";
    static constexpr std::string_view kHead = "<head>";
    const std::string full = resolvePagePath(pagePath_);
    std::error_code ec;
    const auto size = std::filesystem::file_size(disk::fsPath(full), ec);
    if (!ec && size > kTitleRewriteLimit) {
        dialogs().message(cp("Файл :") + win1251::fromUtf8(full) + cp(" более 2Мб"), "");
        return;
    }
    const std::string text = readPageFile(full);

    std::string before;
    std::string after;
    const auto open = findNoCase(text, kOpen);
    const auto close =
        open == std::string::npos ? std::string::npos : findNoCase(text, kClose, open);
    if (open != std::string::npos && open > 0 && close != std::string::npos) {
        before = text.substr(0, open);
        after = text.substr(close + kClose.size());
    } else {
        const auto head = findNoCase(text, kHead);
        if (head == std::string::npos || head == 0) {
            dialogs().message(cp("Тэги <head></head> не найдены - внесите вручную"), "");
            return;
        }
        before = text.substr(0, head + kHead.size());
        after = text.substr(head + kHead.size());
    }
    writePageFile(full, before + "<title>" + NewTitul + "</title>" + after + "\r\n");
}

std::string cls_PropertyHTML::Sound() const {
    const auto tag = findNoCase(textHTML_, "<bgsound");
    if (tag == std::string::npos) return {};
    const auto end = textHTML_.find('>', tag);
    const std::string_view inside =
        std::string_view(textHTML_).substr(tag, end == std::string::npos ? end : end - tag);
    const auto src = findNoCase(inside, "src");
    if (src == std::string::npos) return {};
    return pagehtml::QuotedValue(inside.substr(src + 3));
}

void cls_PropertyHTML::setSound(const std::string& NewSound) {
    insertAfterLinesWith("<head",
                         {"<bgsound src=" + inQuotes(NewSound) + " loop=" + inQuotes("0") + " >"});
}

void cls_PropertyHTML::SoundDel() {
    auto lines = readPageLines();
    std::erase_if(lines, [](const std::string& line) { return containsNoCase(line, "<bgsound"); });
    writePageLines(lines);
}

std::string cls_PropertyHTML::Flash() const {
    Collection<std::string> found;
    ReadFailPoRashirenie(".swf", found);
    return found.empty() ? std::string() : found.Item(1);
}

std::size_t cls_PropertyHTML::FlashKol() {
    flashCollection_.Clear();
    ReadFailPoRashirenie(".swf", flashCollection_);
    return flashCollection_.Count();
}

std::size_t cls_PropertyHTML::PictureKol() {
    pictureCollection_.Clear();
    for (const char* ext : {".gif", ".jpg", ".jpeg", ".bmp", ".png", ".wmf"})
        ReadFailPoRashirenie(ext, pictureCollection_);
    return pictureCollection_.Count();
}

void cls_PropertyHTML::ReadFailPoRashirenie(const std::string& Rashir,
                                            Collection<std::string>& Coll) const {
    if (Rashir.empty()) return;
    const std::string_view text = textHTML_;
    ReferenceSet held(Coll);
    // The quote mark nearest before each match is found by searching only the
    // text between one match and the next, and a reference met again through
    // the same quote mark adds nothing: a page full of matches stays linear.
    std::size_t scanned = 0;
    std::size_t lastQuote = std::string_view::npos;
    std::size_t handledQuote = std::string_view::npos;
    std::size_t handledLength = 0;
    std::size_t from = 0;
    for (;;) {
        const auto match = findNoCase(text, Rashir, from);
        if (match == std::string::npos) return;
        // The reference is the quoted value around the extension; an extension
        // with no quote mark anywhere before it is no reference.
        if (match > scanned) {
            const auto quote = text.substr(scanned, match - scanned).find_last_of("\"'`");
            if (quote != std::string_view::npos) lastQuote = scanned + quote;
            scanned = match;
        }
        const std::size_t quote = lastQuote;
        if (quote == std::string_view::npos) {
            from = match + Rashir.size();
            continue;
        }
        if (quote == handledQuote) {
            from = std::max(quote + handledLength, match + 1);
            continue;
        }
        const std::string value = pagehtml::QuotedValue(text.substr(quote));
        handledQuote = quote;
        handledLength = value.size();
        from = std::max(quote + value.size(), match + 1);
        if (value.empty()) continue;
        const std::string local = Fail_YN::SlashOnLOCAL(value);
        if (!held.contains(Fail_YN::SlashOnWWW(value)) && !held.contains(local)) {
            held.add(local);
            Coll.Add(local);
        }
    }
}

void cls_PropertyHTML::ReadFailPoMetaTeg(const std::string& MetaTeg,
                                         Collection<std::string>& Coll) const {
    if (MetaTeg.empty()) return;
    const std::string_view text = textHTML_;
    ReferenceSet held(Coll);
    std::size_t from = 0;
    for (;;) {
        const auto match = findNoCase(text, MetaTeg, from);
        if (match == std::string::npos) return;
        const auto quote = text.find_first_of("\"'`", match + MetaTeg.size());
        if (quote == std::string_view::npos) return;
        const std::string value = pagehtml::QuotedValue(text.substr(quote));
        from = quote + value.size() + 1;
        if (!value.empty() && !held.contains(value)) {
            held.add(value);
            Coll.Add(value);
        }
    }
}

void cls_PropertyHTML::InsertFlash(const std::string& NewFlash, int& FlashX, int& FlashY) {
    if (FlashX == 0) FlashX = 100;
    if (FlashY == 0) FlashY = 100;
    const std::string x = std::to_string(FlashX);
    const std::string y = std::to_string(FlashY);
    insertAfterLinesWith(
        "<body",
        {"<p>", "<OBJECT classid=" + inQuotes("clsid:D27CDB6E-AE6D-11cf-96B8-444553540000"),
         "WIDTH=" + x + " HEIGHT=" + y + ">", "<PARAM NAME=movie VALUE=" + inQuotes(NewFlash) + ">",
         "<PARAM NAME=loop VALUE=false>", "<PARAM NAME=menu VALUE=false>",
         "<PARAM NAME=quality VALUE=high>", "<PARAM NAME=bgcolor VALUE=#FFFFFF>",
         "<EMBED src=" + inQuotes(NewFlash) +
             " loop=false menu=false quality=high bgcolor=#FFFFFF  WIDTH=" + x + " HEIGHT=" + y +
             " TYPE=" + inQuotes("application/x-shockwave-flash") + " ></EMBED>",
         "</OBJECT></p>"});
}

void cls_PropertyHTML::InsertImage(const std::string& NewImage) {
    insertAfterLinesWith("<body", {"<p><img src='" + NewImage + "'></p>"});
}

void cls_PropertyHTML::InsertJava(std::string& NewJava, int& JavaX, int& JavaY) {
    static constexpr std::string_view kFunction = "function goto";
    std::replace(NewJava.begin(), NewJava.end(), '\\', '/');
    const auto lines = readPageLines();
    long long highest = -1;
    for (const auto& line : lines) {
        const auto at = findNoCase(line, kFunction);
        if (at != std::string::npos)
            highest = std::max(
                highest, leadingWholeNumber(std::string_view(line).substr(at + kFunction.size())));
    }
    const std::string k = std::to_string(highest < 0 ? 1 : highest + 1);
    if (JavaX == 0) JavaX = 60;
    if (JavaY == 0) JavaY = 50;

    const std::vector<std::string> script = {
        "<script language=" + inQuotes("JavaScript") + " > ",
        "function goto" + k + "(){",
        "OpWin = window.showModalDialog(" + inQuotes(NewJava) + ", null, " +
            inQuotes("dialogWidth:" + std::to_string(JavaX) +
                     "; dialogHeight:" + std::to_string(JavaY) + "; center:1 ; status:no;") +
            ")",
        "}",
        "</script>",
        "<p align=" + inQuotes("center") + "><a href=" + inQuotes("javascript:goto" + k + "();") +
            ">" + cp("СсылкаJava") + " " + k + "</a></p>",
        ""};
    std::vector<std::string> out;
    out.reserve(lines.size() + script.size());
    for (const auto& line : lines) {
        out.push_back(line);
        if (containsNoCase(line, "<body")) out.insert(out.end(), script.begin(), script.end());
    }
    writePageLines(out);
}

void cls_PropertyHTML::MetkaRead(Collection<std::string>& MetkaColl) const {
    static constexpr std::string_view kMark = "<!--Metka=";
    std::size_t from = 0;
    for (;;) {
        const auto mark = findNoCase(textHTML_, kMark, from);
        if (mark == std::string::npos) return;
        const auto start = mark + kMark.size();
        const auto end = textHTML_.find("--", start);
        if (end == std::string::npos) return;  // an unfinished mark at the end names nothing
        MetkaColl.Add(textHTML_.substr(start, end - start));
        from = end;
    }
}

void cls_PropertyHTML::MetkaDel(const std::string& MetkaColl) {
    const std::string name = trimSpaces(MetkaColl);
    auto lines = readPageLines();
    std::vector<std::string> out;
    out.reserve(lines.size());
    for (auto& line : lines) {
        // The line is copied around its marks rather than erased mark by mark,
        // so a line of many marks costs one pass. The search goes on right
        // after each mark taken out, never across the gap it leaves.
        std::string kept;
        std::size_t copied = 0;
        for (std::size_t at = findNoCase(line, "<!--metka="); at != std::string::npos;) {
            const std::size_t length = markLengthAt(line, at, name);
            if (length == 0) {
                at = findNoCase(line, "<!--metka=", at + 1);
                continue;
            }
            kept.append(line, copied, at - copied);
            copied = at + length;
            at = findNoCase(line, "<!--metka=", copied);
        }
        if (copied == 0) {
            out.push_back(std::move(line));
            continue;
        }
        kept.append(line, copied);
        std::string rest = trimSpaces(kept);
        if (!rest.empty()) out.push_back(std::move(rest));
    }
    writePageLines(out);
}

void cls_PropertyHTML::MetkaAdd(const Collection<std::string>& MetkaColl) {
    const auto lines = readPageLines();
    std::vector<std::string> out;
    out.reserve(MetkaColl.Count() + lines.size());
    for (const auto& name : MetkaColl) out.push_back("<!--Metka=" + name + "-->");
    out.insert(out.end(), lines.begin(), lines.end());
    writePageLines(out);
}

void cls_PropertyHTML::NewPageHTML(const std::string& Puti, std::string& Tit, std::string& txt) {
    // Puti is a path (UTF-8) that also stands in for the title and the text.
    if (Tit.empty()) Tit = win1251::fromUtf8(Puti);
    if (txt.empty()) txt = win1251::fromUtf8(Puti);
    const std::string full = resolvePagePath(Puti);
    std::string content;
    if (textfile::isFile(full)) content = readPageFile(full);
    content += textfile::joinCrLf({
        "<html>",
        "<head>",
        "<meta http-equiv=" + inQuotes("Content-Type") +
            " content=" + inQuotes("text/html; charset=windows-1251") + ">",
        "<meta content=" + inQuotes("Lesson From Vorelt") + " name=" + inQuotes("GENERATOR") + ">",
        "<title>" + Tit + "</title>",
        "</head>",
        "<body bgcolor=" + inQuotes("#FFFFFF") + ">",
        "<p>" + txt + "</p>",
        "</body>",
        "</html>",
    });
    writePageFile(full, content);
}

std::string cls_PropertyHTML::TEG_Data(const std::string& St, const std::string& TEG_Start,
                                       const std::string& TEG_End, std::size_t PozSt) {
    return tagdata::TEG_Data(St, TEG_Start, TEG_End, PozSt);
}

std::string cls_PropertyHTML::TEG_TegDataTeg(const std::string& St, const std::string& TEG_Start,
                                             const std::string& TEG_End, std::size_t PozSt) {
    return tagdata::TEG_TegDataTeg(St, TEG_Start, TEG_End, PozSt);
}

std::string cls_PropertyHTML::TEG_Data_Del(const std::string& St, const std::string& TEG_Start,
                                           const std::string& TEG_End, std::size_t PozSt) {
    return tagdata::TEG_Data_Del(St, TEG_Start, TEG_End, PozSt);
}

std::vector<std::string> cls_PropertyHTML::readPageLines() const {
    return textfile::splitLines(readPageFile(resolvePagePath(pagePath_)));
}

void cls_PropertyHTML::writePageLines(const std::vector<std::string>& lines) const {
    const std::string full = resolvePagePath(pagePath_);
    // Only an existing page is rewritten; a vanished page is not recreated.
    if (!textfile::isFile(full)) readPageFile(full);
    writePageFile(full, textfile::joinCrLf(lines));
}

void cls_PropertyHTML::insertAfterLinesWith(std::string_view marker,
                                            const std::vector<std::string>& extra) {
    const auto lines = readPageLines();
    std::vector<std::string> out;
    out.reserve(lines.size() + extra.size());
    for (const auto& line : lines) {
        out.push_back(line);
        if (containsNoCase(line, marker)) out.insert(out.end(), extra.begin(), extra.end());
    }
    writePageLines(out);
}
