#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The four parameters as the main window's fields take them: each must be a
// number above 0, or the layout draws nothing (a height or width factor of 0),
// writes lines on top of each other (a spacing of 0) or has no field to write
// into. A field takes the decimal mark of the user's locale or a point; the
// project file always holds the point, which every reader of it takes.

// Why the value text of parameter `index` (0 line spacing, 1 field width,
// 2 letter height, 3 width factor) cannot be laid out, as the window says it
// (Windows-1251, naming the field); empty when it can. `decimalSeparator` is
// the user's.
std::string ParameterFault(std::size_t index, std::string_view text, char decimalSeparator = '.');

// The value as the project file is to hold it: a number typed with the user's
// decimal comma gets a point; any other text stays as typed.
std::string ParameterInFileForm(std::string_view text, char decimalSeparator);
