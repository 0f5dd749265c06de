#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The four parameters as the main window's fields take them: each must be a
// number above 0, written with a point, or the layout draws nothing (a height
// or width factor of 0), writes lines on top of each other (a spacing of 0)
// or has no field to write into.

// Why the value text of parameter `index` (0 line spacing, 1 field width,
// 2 letter height, 3 width factor) cannot be laid out, as the window says it
// (Windows-1251, naming the field); empty when it can.
std::string ParameterFault(std::size_t index, std::string_view text);
