#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Where a project text line (Windows-1251, as the user writes it) holds
// characters that the layout looks up and the font lacks: 0-based positions,
// outside comments ("//" on), complete position tags and spaces.
std::vector<std::size_t> MissingLetterPositions(std::string_view line,
                                                const std::array<bool, 256>& missing);

// The same for a line as a text box holds it (UTF-16): where each missing
// character starts and how many code units it takes. A character Windows-1251
// lacks is missing whenever missing[win1251::kForeign] is.
struct TextSpan {
    std::size_t start = 0;
    std::size_t length = 0;
    bool operator==(const TextSpan&) const = default;
};
std::vector<TextSpan> MissingLetterSpans(std::u16string_view line,
                                         const std::array<bool, 256>& missing);
