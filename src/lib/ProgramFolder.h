#pragma once

#include <string>

// The folder that holds the executable (UTF-8, no trailing separator unless it
// is a root). Set at start from the executable's location; tests point it at a
// temporary folder.
const std::string& programFolder();
// Also forgets the installed fonts: a new program folder starts without them.
void setProgramFolder(const std::string& folder);

// The fonts that ship with an installed program ("" when the program runs from
// its build folder): read from there, never written.
const std::string& installedFontsFolder();
void setInstalledFontsFolder(const std::string& folder);

// The separator of joined paths: "/" on every system, as Qt has it (Windows
// takes "/" as well as "\\"); a path from the system is turned into this form.
constexpr char kPathSeparator = '/';

// Every "\\" and "/" turned into kPathSeparator.
std::string nativeSeparators(std::string path);

// A path that does not hang below the current or the program folder: one that
// starts with a separator, and on Windows a drive path ("C:\\x", "C:/x").
bool isAbsolutePath(const std::string& path);

// a + separator + b (a separator already at the end of a is not doubled).
std::string joinPath(const std::string& a, const std::string& b);

// Where the program keeps its files. A "font" folder beside the executable
// marks a build folder (or a portable copy): the executable's folder is the
// program folder. Otherwise the program is installed: the executable's folder
// is not the user's to write, so the program folder is the user's own folder,
// and the shipped fonts are read from <executable>/../share/vezor/font.
struct ProgramPlace {
    std::string folder;
    std::string installedFonts;  // "" from a build folder or when none are installed
    // What the user is told before anything else (Windows-1251): that the user's
    // folder has just been made, or that it could not be. "" for nothing.
    std::string notice;
};

// Decides the place and makes the user's folder (with its "font" folder) when it
// is missing.
ProgramPlace SettleProgramPlace(const std::string& executableFolder, const std::string& userFolder);

// ~/VEzor; on Windows VEzor in the Documents folder.
std::string DefaultUserFolder();

// Sets programFolder() and installedFontsFolder() from the place.
void UseProgramPlace(const ProgramPlace& place);
