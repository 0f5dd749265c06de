#include "lib/TagData.h"

#include "lib/VezorError.h"

namespace tagdata {
namespace {
// 1-based position of needle in text at or after pos, 0 when absent.
std::size_t instr(std::size_t pos, const std::string& text, const std::string& needle) {
    if (pos < 1) pos = 1;
    if (pos > text.size() + 1) return 0;
    const auto found = text.find(needle, pos - 1);
    return found == std::string::npos ? 0 : found + 1;
}
}  // namespace

std::string TEG_Data(const std::string& St, const std::string& TEG_Start,
                     const std::string& TEG_End, std::size_t PozSt) {
    const std::size_t dataStart = instr(PozSt, St, TEG_Start) + TEG_Start.size();
    const std::size_t end = instr(PozSt, St, TEG_End);
    if (end == 0) return St;
    if (end < dataStart)
        throw InvalidCallError("TEG_Data: the closing marker stands before the data");
    return St.substr(dataStart - 1, end - dataStart);
}

}  // namespace tagdata
