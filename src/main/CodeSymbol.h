#pragma once

#include <string_view>
#include <vector>

#include "lib/VezorError.h"
#include "main/LinePlacement.h"

// QR and DataMatrix codes as engraved paths: the symbol's modules from the
// zint library, the dark ones filled by back-and-forth strokes.

// The dark modules of a symbol, row by row, without its quiet zone.
struct CodeModules {
    int columns = 0;
    int rows = 0;
    int quiet = 0;  // modules of quiet zone the symbol needs on each side
    std::vector<bool> dark;
    bool at(int column, int row) const {
        return dark[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) +
                    static_cast<std::size_t>(column)];
    }
};

// The text does not go into a code (too long, or not built with codes); the
// message is the user's (Windows-1251).
class CodeError : public VezorError {
  public:
    using VezorError::VezorError;
};

// Encodes the bytes (UTF-8 for a text: the readers of both codes take byte
// data as UTF-8): QR at error correction level M, DataMatrix square.
CodeModules EncodeCode(CodeKind kind, std::string_view bytes);

// The side of one module in a square of `size` mm that holds the symbol with
// its quiet zone.
double CodeModuleSize(const CodeModules& modules, double size);

struct CodePoint {
    double x = 0;  // mm from the square's left edge
    double y = 0;  // mm down from its top edge
};

// The strokes of a pen of lineWidth that blacken the dark modules and nothing
// else: every run of dark modules of a row is crossed back and forth, the
// pen's edge on the modules' edges, the lines at most lineWidth apart. The
// quiet zone stays clear. Rows alternate direction to keep the travel short.
std::vector<std::vector<CodePoint>> CodeFillStrokes(const CodeModules& modules, double size,
                                                    double lineWidth);
