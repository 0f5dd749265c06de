#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lib/MachiningSettings.h"
#include "lib/VezorError.h"
#include "main/CsvTable.h"
#include "main/Layout.h"
#include "main/PlateFields.h"
#include "main/ProjectModel.h"

// A run of plates from one project whose text has fields: one plate per table
// row, or per number of a range.

// Where the plates' values come from.
struct PlateRows {
    std::optional<CsvTable> table;  // one plate per row; else the numbers from..to
    unsigned long long from = 1;
    unsigned long long to = 0;
};

// "FROM..TO" (whole numbers, FROM not above TO); empty when the text is not that.
std::optional<PlateRows> SerialRange(std::string_view text);

// The batch cannot start (the message says why, Windows-1251).
class BatchError : public VezorError {
  public:
    using VezorError::VezorError;
};

// One plate could not be made; the message starts with its row or number.
class PlateError : public VezorError {
  public:
    using VezorError::VezorError;
};

class PlateBatch {
  public:
    // projectBytes as read from the project file; outPattern a file path
    // (UTF-8) with fields, or empty when the plates go into one program.
    // Throws NotAProjectError, BatchError (a field no column fills, a pattern
    // without a field for more than one plate, an empty table or range).
    PlateBatch(std::string_view projectBytes, PlateRows rows, std::string outPattern);

    std::size_t count() const;
    // "Строка 5" (the table's row as a spreadsheet numbers it) or "Номер 17".
    std::string label(std::size_t i) const;
    // Plate i (0-based) laid out. Throws PlateError for a field without a value
    // or a letter the font lacks.
    LayoutResult layOut(std::size_t i, const std::string& font, const MachiningSettings& settings,
                        MoveTexts texts) const;
    // The file plate i goes to (UTF-8). Characters that would make another
    // path of a value ("/", "\", ":", ...) become "_". Throws PlateError.
    std::string filePath(std::size_t i) const;

  private:
    PlateText::Lookup lookup(std::size_t i, bool utf8) const;
    unsigned long long number(std::size_t i) const;

    std::string project_;  // Windows-1251
    PlateText text_;
    PlateText pattern_;
    PlateRows rows_;
};

// What became of one plate.
struct PlateOutcome {
    std::string path;     // the file written (UTF-8); empty when skipped
    std::string message;  // why it was skipped (Windows-1251)
};

struct BatchReport {
    std::vector<PlateOutcome> plates;  // in order, as far as the run went
    bool cancelled = false;
    std::size_t written() const;
};

// Builds a program from a tool path: the G-code writer with the chosen settings.
using ProgramBuilder = std::function<std::string(const PenPoints&)>;

// Writes each plate to its own file, in order, each file written whole or not
// at all. A plate that cannot be made or written, or whose file name an earlier
// plate took, is skipped with its message. After every plate, progress(done,
// outcome) runs; it returns false to stop the run there.
BatchReport WritePlateFiles(
    const PlateBatch& batch, const std::string& font, const MachiningSettings& settings,
    const ProgramBuilder& build,
    const std::function<bool(std::size_t done, const PlateOutcome& outcome)>& progress = {});

// Every plate in one tool path, row by row in a grid of the given columns,
// each plate pitchX to the right of the one before and pitchY below the row
// above. Skipped plates leave no gap; their messages go to skipped.
LayoutResult LayOutPlateGrid(const PlateBatch& batch, std::size_t columns, double pitchX,
                             double pitchY, const std::string& font,
                             const MachiningSettings& settings, MoveTexts texts,
                             std::vector<std::string>& skipped);
