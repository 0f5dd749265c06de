#pragma once

#include <string>
#include <vector>

// A font as the list names it and the folder its letters are read from.
struct FontEntry {
    std::string name;    // relative to the program folder, for example "font/Simplex"
    std::string folder;  // full path
};

// The fonts the program offers: every folder below the program folder's "font"
// folder, at any depth, breadth-first and sorted by name within a level; then
// the installed fonts the user has no folder of the same name for.
std::vector<FontEntry> FontEntries();

// The names of FontEntries(), in order.
std::vector<std::string> FontList();
