#pragma once

#include <string>
#include <vector>

// The outline fonts installed on the computer, as fontconfig knows them.
namespace fontc {

struct InstalledFont {
    std::string family;  // UTF-8
    std::string style;
    std::string file;
    int face = 0;  // within a collection (.ttc)
    bool operator==(const InstalledFont&) const = default;
};

// Every TrueType and OpenType face, sorted by family and style (letter case
// ignored); empty when fontconfig finds none.
std::vector<InstalledFont> installedOutlineFonts();

// Keeps the fonts whose family and style hold every word of the filter (any case).
std::vector<InstalledFont> filterFonts(const std::vector<InstalledFont>& fonts,
                                       const std::string& filter);

}  // namespace fontc
