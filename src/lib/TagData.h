#pragma once

#include <cstddef>
#include <string>

// Tag-data operations of the page class: what stands between an opening and a
// closing marker. Positions are 1-based (0 counts as 1); searches are exact.
// Both markers are searched from PozSt. A call whose closing marker is missing
// (where a result needs it) or begins before the end of the opening marker
// throws InvalidCallError.
namespace tagdata {

// The text between the first TEG_Start at or after PozSt and the first TEG_End
// at or after PozSt; the whole text when there is no TEG_End. Without a
// TEG_Start the data begin at position TEG_Start.size().
std::string TEG_Data(const std::string& St, const std::string& TEG_Start,
                     const std::string& TEG_End, std::size_t PozSt);

// The first TEG_Start at or after PozSt through the end of the first TEG_End,
// both markers included; the whole text when there is no TEG_Start.
std::string TEG_TegDataTeg(const std::string& St, const std::string& TEG_Start,
                           const std::string& TEG_End, std::size_t PozSt);

// St without what stands between the ">" closing the opening tag (the first
// ">" after the start of TEG_Start) and TEG_End: "<title>Old</title>" becomes
// "<title></title>". Without any such ">" the text before TEG_End goes too.
std::string TEG_Data_Del(const std::string& St, const std::string& TEG_Start,
                         const std::string& TEG_End, std::size_t PozSt);

}  // namespace tagdata
