#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "lib/Collection.h"

// One text line of a project with its position tags taken out. The three tag
// collections are parallel: entry k of each belongs to the k-th tag.
struct ProjectLine {
    std::string Text;                      // Windows-1251
    Collection<std::size_t> TagPositions;  // 1-based character index of each tag
    Collection<std::string> TagValues;
    Collection<std::string> TagNames;
    // The characters that the win1251::kForeign bytes of Text stand for, in
    // order; shorter when a text came without them (those are not known).
    std::vector<char32_t> Foreign{};
    bool operator==(const ProjectLine&) const = default;
};

// The project model the main window holds.
struct Project {
    std::string ProjectPath;  // UTF-8; empty until a project is opened
    double LineSpacing = 0;
    double FieldWidth = 0;
    double LetterHeight = 0;
    double WidthFactor = 0;
    Collection<ProjectLine> ProjectLines;
};
