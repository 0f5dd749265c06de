#pragma once

#include <string>
#include <vector>

#include "fontsource/FontCompiler.h"
#include "fontsource/FontSources.h"

// The fonts that ship with the program and how each is made from the fonts of
// the Debian packages librecad-data and hershey-fonts-data, of the SVG fonts
// of the inkscape package, and of the outline font DejaVu Sans (fonts-dejavu-core).
namespace fontc {

struct SourceFolders {
    std::string lff = "/usr/share/librecad/fonts";
    std::string jhf = "/usr/share/hershey-fonts";
    std::string svg = "/usr/share/inkscape/extensions/svg_fonts";
    std::string outline = "/usr/share/fonts/truetype/dejavu";
};

// Folder names of the shipped fonts; the first sorts first in the font list.
std::vector<std::string> shippedFontNames();

// Source files the font needs that are not there (empty when it can be built).
std::vector<std::string> missingSources(const std::string& folder, const SourceFolders& sources);

// Reads the sources; throws FontSourceError.
FontRecipe shippedFontRecipe(const std::string& folder, const SourceFolders& sources);

// Every Windows-1251 character the LibreCAD font has.
FontRecipe lffRecipe(const LffFont& font, const std::string& folder);

// A Hershey file in ASCII order (glyph i is character 32 + i).
FontRecipe jhfAsciiRecipe(const std::vector<JhfGlyph>& glyphs, const std::string& folder);

}  // namespace fontc
