#include "main/ProjectFile.h"

#include "lib/NumberText.h"
#include "lib/TextFile.h"
#include "lib/Text_peob.h"
#include "lib/Win1251.h"

NotAProjectError::NotAProjectError() : VezorError(cp("Файл не является проектом")) {}

const std::vector<std::string>& ProjectTemplateLines() {
    static const std::vector<std::string> lines = {
        cp("4.97//Интервал по строкам в мм"),
        cp("100//Максимальная ширина поля мм для отрисовки границы (синяя линия)"),
        cp("4.4//Высота шрифта в мм"),
        cp("0.75//Изменение ширины шрифта 0.5 (50%)"),
        cp("Текст после тэга будет на расстоянии 50мм"),
        "",
        cp("от левого края<@XXX=100>Этот текст на 50мм"),
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
    return win1251::fromUtf8(bytes);
}

namespace {

std::string_view trimSpaces(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
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
        next = closer + 1;
    }
    kept.append(text, next);
    text = std::move(kept);
    line.Text = text;
}

Project ParseProject(std::string_view bytes, EventPump& pump) {
    return ParseProjectText(DecodeProjectBytes(bytes), pump);
}

Project ParseProjectText(std::string_view text, EventPump& pump) {
    const std::vector<std::string> fileLines = textfile::splitLines(text);
    if (fileLines.size() < 4) throw NotAProjectError();

    Project project;
    double* const parameters[] = {&project.LineSpacing, &project.FieldWidth, &project.LetterHeight,
                                  &project.WidthFactor};
    for (std::size_t i = 0; i < 4; ++i) {
        const auto comment = fileLines[i].find("//");
        if (comment == std::string::npos) throw NotAProjectError();
        *parameters[i] = numtext::leadingNumber(std::string_view(fileLines[i]).substr(0, comment));
    }
    if (project.LineSpacing == 0 && project.FieldWidth == 0 && project.LetterHeight == 0 &&
        project.WidthFactor == 0)
        throw NotAProjectError();

    // The first kept line fills this entry, so a project without text has one empty line.
    project.ProjectLines.Add(ProjectLine{});
    bool firstKept = true;
    for (std::size_t i = 4; i < fileLines.size(); ++i) {
        std::string kept;
        const std::string& raw = fileLines[i];
        if (const auto comment = CommentStart(raw); comment != std::string::npos) {
            kept = trimSpaces(std::string_view(raw).substr(0, comment));
            if (kept.empty()) continue;
        } else {
            kept = raw;
        }
        if (!firstKept) project.ProjectLines.Add(ProjectLine{});
        firstKept = false;
        if (kept.find("<@") != std::string::npos)
            ExtractLineTags(project.ProjectLines, kept);
        else
            project.ProjectLines.Item(project.ProjectLines.Count()).Text = std::move(kept);
        pump.tick();
    }
    return project;
}

Project ReadProjectFile(const std::string& path, EventPump& pump) {
    std::string bytes;
    try {
        bytes = textfile::readBytes(path);
    } catch (const FileReadError&) {
        throw NotAProjectError();
    }
    Project project = ParseProject(bytes, pump);
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
