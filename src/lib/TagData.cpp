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

[[noreturn]] void invalid(const char* what) {
    throw InvalidCallError(std::string("Tag data: ") + what);
}
}  // namespace

std::string TEG_Data(const std::string& St, const std::string& TEG_Start,
                     const std::string& TEG_End, std::size_t PozSt) {
    const std::size_t dataStart = instr(PozSt, St, TEG_Start) + TEG_Start.size();
    const std::size_t end = instr(PozSt, St, TEG_End);
    if (end == 0) return St;
    // end >= 1 here, and dataStart >= 1 too: an empty TEG_Start is always found.
    if (end < dataStart) invalid("the closing marker stands before the end of the opening one");
    return St.substr(dataStart - 1, end - dataStart);
}

std::string TEG_TegDataTeg(const std::string& St, const std::string& TEG_Start,
                           const std::string& TEG_End, std::size_t PozSt) {
    const std::size_t start = instr(PozSt, St, TEG_Start);
    if (start == 0) return St;
    const std::size_t end = instr(PozSt, St, TEG_End);
    if (end == 0) invalid("the closing marker is missing");
    if (end < start + TEG_Start.size())
        invalid("the closing marker stands before the end of the opening one");
    return St.substr(start - 1, end + TEG_End.size() - start);
}

std::string TEG_Data_Del(const std::string& St, const std::string& TEG_Start,
                         const std::string& TEG_End, std::size_t PozSt) {
    const std::size_t start = instr(PozSt, St, TEG_Start);
    const std::size_t tagEnd = instr(start + 1, St, ">");
    const std::size_t end = instr(PozSt, St, TEG_End);
    if (end == 0) invalid("the closing marker is missing");
    if (tagEnd != 0 && end <= tagEnd)
        invalid("the closing marker stands before the end of the opening one");
    return St.substr(0, tagEnd) + St.substr(end - 1);
}

}  // namespace tagdata
