#pragma once

#include <optional>
#include <string>
#include <vector>

// Geometry of the font viewer's page: 128 characters in 8 columns of 16 rows,
// filled column by column, on a page of 1000 by 1000 page units (y downward).
namespace fontpage {

constexpr double kPageWidth = 1000;
constexpr double kPageHeight = 1000;
constexpr int kColumns = 8;
constexpr int kRows = 16;
constexpr double kColumnWidth = kPageWidth / kColumns;  // 125
constexpr double kRowHeight = kPageHeight / kRows;      // 62.5
// The 100-unit letter box becomes 40 page units.
constexpr float kLetterScale = 100.0f / 40.0f;

struct PagePoint {
    double x = 0;
    double y = 0;
};

// Page 1 holds the codes 0..127, any other page 128..255.
int firstCode(int page);
// Column-major: 16 codes per column.
int cellCode(int first, int column, int row);

// The cell (column, row) under a page position; none off the page.
struct Cell {
    int column = 0;
    int row = 0;
};
std::optional<Cell> cellAt(PagePoint p);

// Top-left corners of the code text and the character text, and the origin of
// the letter drawing, of a cell.
PagePoint codeTextPosition(int column, int row);
PagePoint characterTextPosition(int column, int row);
PagePoint letterOrigin(int column, int row);

// The letter's polylines on the page: every point scaled into the cell from the
// origin; points that land at a non-positive page position on either axis, and
// lines without ",", are left out and the line runs on to the next point kept.
// A break mark ends one polyline and starts the next; a letter without marks
// is one polyline (empty when nothing is drawn).
std::vector<std::vector<PagePoint>> letterStrokes(const std::vector<std::string>& lines,
                                                  PagePoint origin);

}  // namespace fontpage
