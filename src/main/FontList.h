#pragma once

#include <string>
#include <vector>

// The fonts the program offers: every folder below the program folder's
// "font" folder, at any depth, breadth-first and sorted by name within a
// level, each relative to the program folder (for example "font/Simplex").
std::vector<std::string> FontList();
