// The tag-data operations take any text, markers and start position: each
// returns a text built from the input's own characters or refuses the call
// with InvalidCallError.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "lib/TagData.h"
#include "lib/VezorError.h"

namespace {

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemoryBudget budget(size, 16);
    FuzzedDataProvider in(data, size);
    const std::string start = in.ConsumeRandomLengthString(8);
    const std::string end = in.ConsumeRandomLengthString(8);
    // Positions past the end of the text matter as much as those inside it.
    const auto position = in.ConsumeIntegral<std::uint32_t>() % (size + 4);
    const std::string text = in.ConsumeRemainingBytesAsString();

    try {
        const std::string inside = tagdata::TEG_Data(text, start, end, position);
        FUZZ_CHECK(contains(text, inside));
    } catch (const InvalidCallError&) {
    }
    try {
        const std::string whole = tagdata::TEG_TegDataTeg(text, start, end, position);
        FUZZ_CHECK(contains(text, whole));
        FUZZ_CHECK(whole == text || (whole.starts_with(start) && whole.ends_with(end)));
    } catch (const InvalidCallError&) {
    }
    try {
        const std::string rest = tagdata::TEG_Data_Del(text, start, end, position);
        FUZZ_CHECK(rest.size() <= text.size());
        FUZZ_CHECK(contains(rest, end));
    } catch (const InvalidCallError&) {
    }
    return 0;
}
