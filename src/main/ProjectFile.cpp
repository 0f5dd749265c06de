#include "main/ProjectFile.h"

#include <algorithm>
#include <functional>

#include "lib/NumberText.h"
#include "lib/TextFile.h"
#include "lib/Text_peob.h"
#include "lib/Win1251.h"

NotAProjectError::NotAProjectError(const std::string& reason)
    : VezorError(cp("Файл не является проектом") + (reason.empty() ? "" : "\r\n" + reason)) {}

const std::vector<std::string>& ProjectTemplateLines() {
    static const std::vector<std::string> lines = {
        cp("4.97//Интервал по строкам в мм"),
        cp("100//Максимальная ширина поля мм для отрисовки границы (синяя линия)"),
        cp("4.4//Высота шрифта в мм"),
        cp("0.75//Изменение ширины шрифта 0.5 (50%)"),
        cp("Текст после тэга будет на расстоянии 50мм"),
        "",
        // The tag at the distance the words name, inside the field.
        cp("от левого края<@XXX=50>Этот текст на 50мм"),
        cp("Пустая строка пропускается"),
    };
    return lines;
}

void WriteProjectTemplate(const std::string& path) {
    textfile::writeAtomically(path, textfile::joinCrLf(ProjectTemplateLines()));
}

std::string DecodeProjectBytes(std::string_view bytes) {
    if (!win1251::looksLikeUtf8(bytes)) return std::string(bytes);
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    return win1251::fromUtf8Marked(bytes);
}

namespace {

std::string_view trimSpaces(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// The characters of the kForeign bytes that stood inside the removed tags
// leave the line's list with them.
void dropForeignInTags(std::vector<char32_t>& foreign, std::string_view text,
                       const std::vector<std::pair<std::size_t, std::size_t>>& removed) {
    std::vector<char32_t> left;
    std::size_t k = 0;
    std::size_t tag = 0;
    for (std::size_t i = 0; i < text.size() && k < foreign.size(); ++i) {
        if (static_cast<unsigned char>(text[i]) != win1251::kForeign) continue;
        while (tag < removed.size() && removed[tag].second < i) ++tag;
        if (tag == removed.size() || removed[tag].first > i) left.push_back(foreign[k]);
        ++k;
    }
    foreign = std::move(left);
}

}  // namespace

std::size_t CommentStart(std::string_view line) {
    std::size_t from = 0;
    for (;;) {
        const auto comment = line.find("//", from);
        if (comment == std::string_view::npos) return comment;
        // The last code tag opened before the "//": is it still open there?
        std::size_t opener = std::string_view::npos;
        for (const std::string_view tag : {"<@QR=", "<@DM="}) {
            const auto at = line.rfind(tag, comment);
            if (at != std::string_view::npos && (opener == std::string_view::npos || at > opener))
                opener = at;
        }
        if (opener == std::string_view::npos) return comment;
        const auto closer = line.find('>', opener);
        if (closer == std::string_view::npos || closer < comment) return comment;
        from = closer + 1;
    }
}

void ExtractLineTags(Collection<ProjectLine>& lines, std::string& text) {
    ProjectLine& line = lines.Item(lines.Count());
    // One pass instead of a search from the start after every removal, so a
    // long line full of tags takes linear time. The text seen by each step is
    // kept + text[next..]; kept holds no "<@", so the first "<@" of that text
    // is either a "<" that ends kept joined to an "@" left behind by the tag
    // just removed, or the first "<@" from next on.
    std::string kept;
    kept.reserve(text.size());
    std::size_t next = 0;
    // Where the removed tags stood in text, first and last character.
    std::vector<std::pair<std::size_t, std::size_t>> removed;
    for (;;) {
        std::size_t tagStart = 0;  // first character of the tag's text, in text
        if (!kept.empty() && kept.back() == '<' && next < text.size() && text[next] == '@') {
            tagStart = next + 1;
        } else {
            const auto opener = text.find("<@", next);
            if (opener == std::string::npos) break;
            kept.append(text, next, opener - next);
            next = opener;
            tagStart = opener + 2;
        }
        const auto closer = text.find('>', next);
        // An unfinished tag is ordinary text; no later "<@" can be finished either.
        if (closer == std::string::npos) break;
        const bool joined = tagStart == next + 1;
        const std::size_t position = joined ? kept.size() : kept.size() + 1;
        // The text between "<@" and the first ">" after it, as TEG_Data gives it.
        std::string tag = text.substr(tagStart, closer - tagStart);
        line.TagPositions.Add(position);
        line.TagNames.Add(Text_peob::DoRavno(tag));
        line.TagValues.Add(Text_peob::PosleRavno(tag));
        if (joined) kept.pop_back();
        removed.emplace_back(next, closer);
        next = closer + 1;
    }
    kept.append(text, next);
    if (!line.Foreign.empty()) dropForeignInTags(line.Foreign, text, removed);
    text = std::move(kept);
    line.Text = text;
}

namespace {

// Control characters that no text file holds: a binary file has them.
bool looksBinary(std::string_view line) {
    return std::any_of(line.begin(), line.end(), [](char c) {
        const auto code = static_cast<unsigned char>(c);
        return code < 32 && code != '\t' && code != '\f' &&
               code != 0x1A;  // the end mark of old DOS texts
    });
}

// Why the first lines of a text are no project, for the second line of the message.
std::string notAProjectReason(const std::vector<std::string_view>& lines,
                              std::size_t lineWithoutComment) {
    if (std::all_of(lines.begin(), lines.end(), [](std::string_view line) {
            return line.find_first_not_of(" \t") == std::string_view::npos;
        }))
        return cp("Файл пуст.");
    if (std::any_of(lines.begin(), lines.end(), looksBinary))
        return cp("Это двоичный файл, а не текст.");
    if (lines.size() < 4)
        return cp("В нём меньше четырёх строк параметров («значение//комментарий»): строк ") +
               std::to_string(lines.size()) + ".";
    if (lineWithoutComment < 4)
        return cp("Строка ") + std::to_string(lineWithoutComment + 1) +
               cp(" не строка параметра: в ней нет «//» («значение//комментарий»).");
    for (std::size_t i = 0; i < 4; ++i) {
        const std::string_view value = lines[i].substr(0, lines[i].find("//"));
        std::size_t consumed = 0;
        numtext::leadingNumber(value, consumed);
        if (consumed == 0)
            return cp("Параметр в строке ") + std::to_string(i + 1) + cp(" не число: «") +
                   std::string(value.substr(0, 100)) + cp("».");
    }
    return cp("Все четыре параметра равны 0.");
}

std::size_t foreignIn(std::string_view text) {
    return static_cast<std::size_t>(
        std::count(text.begin(), text.end(), static_cast<char>(win1251::kForeign)));
}

}  // namespace

Project ParseProject(std::string_view bytes, EventPump& pump) {
    if (!win1251::looksLikeUtf8(bytes)) return ParseProjectText(bytes, pump);
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    std::vector<char32_t> foreign;
    const std::string text = win1251::fromUtf8Marked(bytes, &foreign);
    return ParseProjectText(text, pump, &foreign);
}

namespace {

// The text's lines one by one, cut as textfile::splitLineViews cuts them.
class LineCutter {
  public:
    explicit LineCutter(std::string_view text) : text_(text) {}
    bool next(std::string_view& line) {
        if (start_ >= text_.size()) return false;
        std::size_t i = start_;
        while (i < text_.size() && text_[i] != '\r' && text_[i] != '\n') ++i;
        line = text_.substr(start_, i - start_);
        if (i < text_.size() && text_[i] == '\r' && i + 1 < text_.size() && text_[i + 1] == '\n')
            ++i;
        start_ = i + 1;
        return true;
    }
    std::size_t at() const { return start_; }

  private:
    std::string_view text_;
    std::size_t start_ = 0;
};

// The four parameters into project; where the text lines start. Throws
// NotAProjectError (the reason looks at every line of the text).
std::size_t readParameters(std::string_view text, Project& project) {
    const auto notAProject = [&](std::size_t lineWithoutComment) {
        return NotAProjectError(
            notAProjectReason(textfile::splitLineViews(text), lineWithoutComment));
    };
    double* const parameters[] = {&project.LineSpacing, &project.FieldWidth, &project.LetterHeight,
                                  &project.WidthFactor};
    LineCutter lines(text);
    for (std::size_t i = 0; i < 4; ++i) {
        std::string_view line;
        if (!lines.next(line)) throw notAProject(4);
        const auto comment = line.find("//");
        if (comment == std::string::npos) {
            // Fewer than four lines is the first thing the reason tells.
            std::string_view rest;
            for (std::size_t k = i + 1; k < 4; ++k)
                if (!lines.next(rest)) throw notAProject(4);
            throw notAProject(i);
        }
        *parameters[i] = numtext::leadingNumber(line.substr(0, comment));
    }
    if (project.LineSpacing == 0 && project.FieldWidth == 0 && project.LetterHeight == 0 &&
        project.WidthFactor == 0)
        throw notAProject(4);
    return lines.at();
}

// Each text line of the project from `from` on, as the project holds it, to
// take (the same line refilled each time). A text without one gives one
// empty line. foreign: the characters of the text's kForeign bytes, in order.
template <class Take>
void forEachTextLine(std::string_view text, std::size_t from, const std::vector<char32_t>* foreign,
                     Take&& take) {
    std::size_t nextForeign = foreign ? foreignIn(text.substr(0, std::min(from, text.size()))) : 0;
    Collection<ProjectLine> current;
    current.Add(ProjectLine{});
    ProjectLine& line = current.Item(1);
    bool any = false;
    LineCutter lines(text.substr(std::min(from, text.size())));
    std::string kept;
    std::string_view raw;
    while (lines.next(raw)) {
        const std::size_t firstForeign = nextForeign;
        if (foreign) nextForeign += foreignIn(raw);
        if (const auto comment = CommentStart(raw); comment != std::string_view::npos) {
            kept = trimSpaces(raw.substr(0, comment));
            if (kept.empty()) continue;
        } else {
            kept = raw;
        }
        any = true;
        line.Text.clear();
        line.TagPositions.Clear();
        line.TagValues.Clear();
        line.TagNames.Clear();
        line.Foreign.clear();
        if (foreign && nextForeign > firstForeign) {
            // Trimming takes spaces only: the comment alone cuts characters off.
            const std::size_t at = std::min(firstForeign, foreign->size());
            const std::size_t to = std::min(at + foreignIn(kept), foreign->size());
            line.Foreign.assign(foreign->begin() + static_cast<std::ptrdiff_t>(at),
                                foreign->begin() + static_cast<std::ptrdiff_t>(to));
        }
        if (kept.find("<@") != std::string::npos)
            ExtractLineTags(current, kept);
        else
            line.Text = kept;
        take(line);
    }
    if (!any) {
        ProjectLine empty;
        take(empty);
    }
}

// Lines of text, cut as LineCutter cuts them: room enough for a project's.
std::size_t countLines(std::string_view text) {
    std::size_t count = 0;
    LineCutter lines(text);
    std::string_view line;
    while (lines.next(line)) ++count;
    return count;
}

}  // namespace

Project ParseProjectText(std::string_view text, EventPump& pump,
                         const std::vector<char32_t>* foreign) {
    Project project;
    const std::size_t from = readParameters(text, project);
    // Lines held once, in the project, each moved there as it is made.
    project.ProjectLines.items().reserve(countLines(text.substr(std::min(from, text.size()))) + 1);
    forEachTextLine(text, from, foreign, [&](ProjectLine& line) {
        project.ProjectLines.Add(std::move(line));
        line = ProjectLine{};
        pump.tick();
    });
    return project;
}

ProjectStream::ProjectStream(std::string bytes, const std::string& path) {
    // The file's bytes give way to their text: a large project is held once.
    if (win1251::looksLikeUtf8(bytes)) {
        std::string_view utf8 = bytes;
        if (utf8.starts_with("\xEF\xBB\xBF")) utf8.remove_prefix(3);
        text_ = win1251::fromUtf8Marked(utf8, &foreign_);
        std::string().swap(bytes);
    } else {
        text_ = std::move(bytes);
    }
    from_ = readParameters(text_, parameters_);
    parameters_.ProjectPath = path;
}

void ProjectStream::forEachLine(const std::function<void(const ProjectLine&)>& take) const {
    forEachTextLine(text_, from_, foreign_.empty() ? nullptr : &foreign_,
                    [&](const ProjectLine& line) { take(line); });
}

ProjectStream ReadProjectStream(const std::string& path) {
    std::string bytes;
    try {
        bytes = textfile::readBytes(path);
    } catch (const FileReadError&) {
        throw NotAProjectError(cp("Файл не удалось прочитать."));
    }
    return ProjectStream(std::move(bytes), path);
}

Project ReadProjectFile(const std::string& path, EventPump& pump) {
    std::string bytes;
    try {
        bytes = textfile::readBytes(path);
    } catch (const FileReadError&) {
        throw NotAProjectError(cp("Файл не удалось прочитать."));
    }
    // The file's bytes give way to their text before the lines are split, so
    // a large project is never held three times over.
    std::string text;
    std::vector<char32_t> foreign;
    if (win1251::looksLikeUtf8(bytes)) {
        std::string_view utf8 = bytes;
        if (utf8.starts_with("\xEF\xBB\xBF")) utf8.remove_prefix(3);
        text = win1251::fromUtf8Marked(utf8, &foreign);
        std::string().swap(bytes);
    } else {
        text = std::move(bytes);
    }
    Project project = ParseProjectText(text, pump, foreign.empty() ? nullptr : &foreign);
    project.ProjectPath = path;
    return project;
}

std::string ProjectDisplayText(const Project& project) {
    std::string out;
    for (const ProjectLine& line : project.ProjectLines) {
        out += line.Text;
        out += "\r\n";
    }
    return out;
}
