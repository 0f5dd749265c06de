#pragma once

#include <cstddef>
#include <string>

// Tag-data operations of the page class: what stands between an opening and a
// closing marker. Positions are 1-based; searches are exact.
namespace tagdata {

// The text between the first TEG_Start at or after PozSt and the first TEG_End
// at or after PozSt; the whole text when there is no TEG_End. Throws
// InvalidCallError when TEG_End begins before the end of the opening marker.
std::string TEG_Data(const std::string& St, const std::string& TEG_Start,
                     const std::string& TEG_End, std::size_t PozSt);

}  // namespace tagdata
