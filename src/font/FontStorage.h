#pragma once

#include <string>
#include <string_view>
#include <vector>

// Letter files: one file per character code (0..255, decimal name, no
// extension) in a font folder below the program folder; one "x,y" point line
// per point, CR LF ended, in letter units (0..100 box, y downward).

// Far beyond the editor's drawing surface, yet every coordinate within it stays
// a short number in the letter file and in the G-code made from it.
inline constexpr double kLetterCoordinateLimit = 10000;

struct LetterPoint {
    double x = 0;
    double y = 0;
};

// The folder a font's letters are read from: below the program folder, or, for a
// font the user has no folder of, the installed font of that name. An absolute
// path is used as it is.
std::string FontFolderPath(const std::string& fontPath);

// FontFolderPath + decimal code.
std::string LetterFilePath(const std::string& fontPath, int code);

// The file's lines in order, without line ends. Throws FileReadError.
std::vector<std::string> ReadLetterLines(const std::string& path);

// x from the text before the first ",", y from the text after it ("." decimal
// separator, leading-number rule). Returns false when the line has no ",".
bool ParsePointLine(std::string_view line, double& x, double& y);

// A point at (0, 0) between two lines of a letter is no point but a mark: the
// stroke may break there. The layout (asked to) lifts the pen, the editor and
// the viewer leave a gap. Since the layout has always skipped points at x or
// y 0, a letter with marks is drawn as one stroke wherever breaks are not asked for.
inline constexpr const char* kStrokeBreakLine = "0,0";
// Whether line i of the letter is such a mark.
bool IsStrokeBreak(const std::vector<std::string>& lines, std::size_t i);

// Rounded to 2 decimals (halves to even): «12», «12.5», «.5», «-.25», «0».
std::string FormatCoordinate(double value);

// Writes the point lines, each followed by CR LF, replacing the file safely.
// A letter of an installed font is written into the user's copy of that font.
// Throws FileWriteError.
void WriteLetterFile(const std::string& path, const std::vector<std::string>& lines);

// Whether the pen runs on from the end of one letter of a word to the start of
// the next. A font drawn for that (the shipped ones, and every font made in the
// editor) places its letters' ends where the joins do no harm; a font brought
// in from elsewhere does not, and a join turns «P» into «R». The font's folder
// records it in kFontSettingsFile («JoinLetters=0»); a font without the record
// joins, as every font always has.
inline constexpr const char* kFontSettingsFile = "font.ini";
bool FontLettersJoin(const std::string& fontPath);
// The record's text for a font that joins or does not.
std::string FontSettingsText(bool lettersJoin);
// Records it in the font's folder (an installed font: in the user's copy of
// it). Throws FileWriteError.
void WriteFontLettersJoin(const std::string& fontPath, bool lettersJoin);

// Codes of the letter files directly in the font folder, in listing order;
// files whose names are not a code 0..255 are skipped.
std::vector<int> ListFontLetters(const std::string& fontPath);
