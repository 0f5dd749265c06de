#include "main/MissingLetters.h"

#include <algorithm>

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
