#include "main/MissingLetters.h"

#include <algorithm>

#include "lib/Win1251.h"
#include "main/ProjectFile.h"

std::vector<std::size_t> MissingLetterPositions(std::string_view line,
                                                const std::array<bool, 256>& missing) {
    std::vector<std::size_t> positions;
    const std::size_t end = std::min(CommentStart(line), line.size());
    for (std::size_t i = 0; i < end; ++i) {
        if (line.compare(i, 2, "<@") == 0) {
            const auto closer = line.find('>', i + 2);
            if (closer != std::string_view::npos && closer < end) {
                i = closer;
                continue;
            }
        }
        const auto code = static_cast<unsigned char>(line[i]);
        if (code != ' ' && missing[code]) positions.push_back(i);
    }
    return positions;
}

std::vector<TextSpan> MissingLetterSpans(std::u16string_view line,
                                         const std::array<bool, 256>& missing) {
    std::string text;
    std::vector<TextSpan> units;  // of each character of text
    text.reserve(line.size());
    units.reserve(line.size());
    for (std::size_t i = 0; i < line.size();) {
        const char16_t c = line[i];
        const bool pair = c >= 0xD800 && c <= 0xDBFF && i + 1 < line.size() &&
                          line[i + 1] >= 0xDC00 && line[i + 1] <= 0xDFFF;
        bool ok = false;
        const unsigned char code = pair ? 0 : win1251::fromUnicode(c, &ok);
        text += static_cast<char>(ok ? code : win1251::kForeign);
        units.push_back(TextSpan{i, pair ? 2u : 1u});
        i += pair ? 2 : 1;
    }
    std::vector<TextSpan> spans;
    for (const std::size_t at : MissingLetterPositions(text, missing)) spans.push_back(units[at]);
    return spans;
}
