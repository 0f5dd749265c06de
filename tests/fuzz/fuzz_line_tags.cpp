// Position tags are cut out of project lines as they were typed: any line
// leaves parallel tag lists and no complete tag behind.
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
    // Positions need not grow: taking a tag out can join a "<" before it and
    // an "@" after it into a new tag further left.
    for (std::size_t k = 1; k <= tags; ++k) {
        FUZZ_CHECK(line.TagPositions.Item(k) >= 1);
        FUZZ_CHECK(line.TagPositions.Item(k) <= size);
        FUZZ_CHECK(line.TagNames.Item(k).find('>') == std::string::npos);
        FUZZ_CHECK(line.TagValues.Item(k).find('>') == std::string::npos);
    }
    const auto opener = line.Text.find("<@");
    FUZZ_CHECK(opener == std::string::npos || line.Text.find('>', opener) == std::string::npos);
    return 0;
}
