#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "lib/VezorError.h"

// A table of plate values as spreadsheets save it: the first row names the
// columns, cells are separated by "," or ";" (whichever the first row uses
// more), a cell in double quotes may hold separators, line breaks and doubled
// quotes. UTF-8 (with or without a byte order mark) or Windows-1251.
struct CsvTable {
    struct Row {
        std::size_t number = 0;  // the row's number as a spreadsheet shows it (names: 1)
        std::vector<std::string> cells;
    };
    std::vector<std::string> names;  // Windows-1251, spaces around them removed
    std::vector<Row> rows;           // empty rows left out
    char separator = ',';

    // Position of the named column; npos when there is none.
    std::size_t column(std::string_view name) const;
};

// The table cannot be read: no names row, or a quote left open.
class CsvError : public VezorError {
  public:
    using VezorError::VezorError;
};

CsvTable ParseCsv(std::string_view bytes);
// Throws FileReadError or CsvError.
CsvTable ReadCsvFile(const std::string& path);
