#include "main/ProjectSource.h"

#include "lib/TextFile.h"
#include "lib/Win1251.h"
#include "main/ProjectFile.h"

namespace {

constexpr std::string_view kMark = "\xEF\xBB\xBF";

}  // namespace

ProjectEncodingError::ProjectEncodingError(std::size_t line)
    : VezorError(cp("В строке ") + std::to_string(line) +
                 cp(" есть знаки, которых нет в кодировке файла проекта (Windows-1251). "
                    "Проект не записан.")) {}

ProjectSource DecodeProjectSource(std::string_view bytes) {
    ProjectSource source;
    if (win1251::looksLikeUtf8(bytes)) {
        source.encoding = ProjectEncoding::Utf8;
        if (bytes.starts_with(kMark)) {
            source.encoding = ProjectEncoding::Utf8WithMark;
            bytes.remove_prefix(kMark.size());
        }
        source.lines = textfile::splitLines(bytes);
    } else {
        source.lines = textfile::splitLines(win1251::toUtf8(bytes));
    }
    return source;
}

std::string EncodeProjectSource(const ProjectSource& source) {
    std::string text = textfile::joinCrLf(source.lines);
    switch (source.encoding) {
        case ProjectEncoding::Windows1251:
            for (std::size_t i = 0; i < source.lines.size(); ++i) {
                if (win1251::toUtf8(win1251::fromUtf8(source.lines[i])) != source.lines[i])
                    throw ProjectEncodingError(i + 1);
            }
            return win1251::fromUtf8(text);
        case ProjectEncoding::Utf8:
            return text;
        case ProjectEncoding::Utf8WithMark:
            return std::string(kMark) + text;
    }
    return text;
}

void WriteProjectSource(const std::string& path, const ProjectSource& source) {
    textfile::writeAtomically(path, EncodeProjectSource(source));
}

std::string ParameterValue(const ProjectSource& source, std::size_t index) {
    if (index >= source.lines.size()) return {};
    const std::string& line = source.lines[index];
    return line.substr(0, line.find("//"));
}

void SetParameterValue(ProjectSource& source, std::size_t index, std::string_view value) {
    if (source.lines.size() <= index) source.lines.resize(index + 1);
    std::string& line = source.lines[index];
    const auto comment = line.find("//");
    const std::string rest = comment == std::string::npos ? "//" : line.substr(comment);
    line = std::string(value.substr(0, value.find("//"))) + rest;
}

std::string SourceText(const ProjectSource& source) {
    std::string text;
    for (std::size_t i = 4; i < source.lines.size(); ++i) {
        if (i > 4) text += '\n';
        text += source.lines[i];
    }
    return text;
}

void SetSourceText(ProjectSource& source, std::string_view text) {
    source.lines.resize(4);
    if (text.empty()) return;
    std::size_t start = 0;
    for (;;) {
        const auto end = text.find('\n', start);
        std::string line(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        source.lines.push_back(std::move(line));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
}

Project ParseProjectSource(const ProjectSource& source, EventPump& pump) {
    std::vector<char32_t> foreign;
    const std::string text = win1251::fromUtf8Marked(textfile::joinCrLf(source.lines), &foreign);
    return ParseProjectText(text, pump, &foreign);
}
