#pragma once

#include <string>

// The folder that holds the executable (UTF-8, no trailing separator unless it
// is a root). Set at start from the executable's location; tests point it at a
// temporary folder.
const std::string& programFolder();
void setProgramFolder(const std::string& folder);

// The native separator of joined paths.
constexpr char kPathSeparator = '/';

// a + separator + b (a separator already at the end of a is not doubled).
std::string joinPath(const std::string& a, const std::string& b);
