#include "main/CsvTable.h"

#include "lib/TextFile.h"
#include "lib/Win1251.h"
#include "main/ProjectFile.h"

std::size_t CsvTable::column(std::string_view name) const {
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == name) return i;
    return std::string_view::npos;
}

namespace {

std::string trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return std::string(s.substr(first, s.find_last_not_of(" \t") - first + 1));
}

// The first row decides: its separators outside quotes, counted.
char separatorOf(std::string_view text) {
    std::size_t commas = 0;
    std::size_t semicolons = 0;
    bool quoted = false;
    for (char c : text) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\r' || c == '\n') break;
        if (c == ',') ++commas;
        if (c == ';') ++semicolons;
    }
    return semicolons > commas ? ';' : ',';
}

}  // namespace

CsvTable ParseCsv(std::string_view bytes) {
    const std::string text = DecodeProjectBytes(bytes);
    CsvTable table;
    table.separator = separatorOf(text);

    std::vector<std::string> cells;
    std::string cell;
    bool quotedCell = false;  // the cell began with a quote: taken as written
    std::size_t row = 1;      // the row being read
    std::size_t rowStart = 1;
    const auto endCell = [&] {
        cells.push_back(quotedCell ? cell : trimmed(cell));
        cell.clear();
        quotedCell = false;
    };
    const auto endRow = [&] {
        endCell();
        const bool empty = cells.size() == 1 && cells[0].empty();
        if (rowStart == 1 && table.names.empty()) {
            for (std::string& name : cells) table.names.push_back(trimmed(name));
        } else if (!empty) {
            table.rows.push_back(CsvTable::Row{rowStart, std::move(cells)});
        }
        cells.clear();
        rowStart = row;
    };

    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"' && trimmed(cell).empty() && !quotedCell) {
            // A quoted cell: up to the quote that is not doubled.
            cell.clear();
            quotedCell = true;
            const std::size_t opened = row;
            for (++i;; ++i) {
                if (i >= text.size())
                    throw CsvError(cp("Таблица: кавычка, открытая в строке ") +
                                   std::to_string(opened) + cp(", не закрыта"));
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        cell += '"';
                        ++i;
                        continue;
                    }
                    break;
                }
                if (text[i] == '\n' ||
                    (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')))
                    ++row;
                cell += text[i];
            }
            // Anything between the closing quote and the separator is dropped.
            while (i + 1 < text.size() && text[i + 1] != table.separator && text[i + 1] != '\r' &&
                   text[i + 1] != '\n')
                ++i;
        } else if (c == table.separator) {
            endCell();
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            ++row;
            endRow();
        } else if (!quotedCell) {
            cell += c;
        }
    }
    if (!cell.empty() || !cells.empty() || quotedCell) endRow();
    if (table.names.empty() || (table.names.size() == 1 && table.names[0].empty()))
        throw CsvError(cp("Таблица пуста: в первой строке нужны имена столбцов"));
    return table;
}

CsvTable ReadCsvFile(const std::string& path) { return ParseCsv(textfile::readBytes(path)); }
