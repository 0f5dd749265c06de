#pragma once

#include <string>

#include "fontsource/FontCompiler.h"

// A font file brought in by the user as a new font folder: the steps the font
// editor's import runs, without a window.
namespace fontc {

// The recipe of a .lff, .jhf or .svg file (by its extension, any case), named
// folder. Throws FontSourceError (Russian message): a file of another kind, one
// that does not read, or one without a single Windows-1251 letter.
FontRecipe importRecipe(const std::string& path, const std::string& folder);

// Why a name cannot be a font folder's (Russian, UTF-8); "" when it can.
std::string badFontName(const std::string& name);

// Puts the font into parent/name whole or not at all: the letters are written
// into a temporary folder beside parent first, and a font already there is
// replaced only once the new one is complete. Throws FileWriteError
// (Windows-1251 message); the old font is then as it was.
void installFontFolder(const CompiledFont& font, const std::string& parent,
                       const std::string& name);

// What the joining did, for the user (Russian, UTF-8): letters made, connector
// and retrace lengths, the letters that need the most, the glyphs left out.
std::string importReport(const CompiledFont& font, const std::string& fontName);

}  // namespace fontc
