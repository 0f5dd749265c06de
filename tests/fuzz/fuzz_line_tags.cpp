// Position tags are cut out of project lines as they were typed: any line
// leaves parallel tag lists, positions in order that point into the cleaned
// text, and no complete tag behind.
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "main/ProjectFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemoryBudget budget(size, 64);
    std::string text(reinterpret_cast<const char*>(data), size);
    Collection<ProjectLine> lines;
    lines.Add(ProjectLine{});
    ExtractLineTags(lines, text);

    const ProjectLine& line = lines.Item(1);
    FUZZ_CHECK(line.Text == text);
    FUZZ_CHECK(line.Text.size() <= size);
    const std::size_t tags = line.TagPositions.Count();
    FUZZ_CHECK(line.TagNames.Count() == tags && line.TagValues.Count() == tags);
    // Each tag takes at least "<@" and ">" out of the line.
    FUZZ_CHECK(line.Text.size() + 3 * tags <= size);
    std::size_t previous = 1;
    for (std::size_t k = 1; k <= tags; ++k) {
        const std::size_t position = line.TagPositions.Item(k);
        FUZZ_CHECK(position >= previous);
        FUZZ_CHECK(position <= line.Text.size() + 1);
        FUZZ_CHECK(line.TagNames.Item(k).find('>') == std::string::npos);
        FUZZ_CHECK(line.TagValues.Item(k).find('>') == std::string::npos);
        previous = position;
    }
    const auto opener = line.Text.find("<@");
    FUZZ_CHECK(opener == std::string::npos || line.Text.find('>', opener) == std::string::npos);
    return 0;
}
