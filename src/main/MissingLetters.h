#pragma once

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

// Where a project text line (Windows-1251, as the user writes it) holds
// characters that the layout looks up and the font lacks: 0-based positions,
// outside comments ("//" on), complete position tags and spaces.
std::vector<std::size_t> MissingLetterPositions(std::string_view line,
                                                const std::array<bool, 256>& missing);
