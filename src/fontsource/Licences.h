#pragma once

#include <string>

// LICENSE.txt of the shipped font folders, as the source fonts' terms ask.
namespace fontc {

// A font made from an OFL font: the copyright line and the licence.
// origin names where the source font comes from.
std::string oflLicence(const std::string& folder, const std::string& sourceName,
                       const std::string& copyright, const std::string& origin = "LibreCAD");

// A font made from the Hershey fonts: the acknowledgements they require.
std::string hersheyLicence(const std::string& folder, const std::string& sources);

}  // namespace fontc
