#include "main/CodeSymbol.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "lib/Win1251.h"

#ifdef VEZOR_HAVE_ZINT
#include <zint.h>
#endif

#ifdef VEZOR_HAVE_ZINT
CodeModules EncodeCode(CodeKind kind, std::string_view bytes) {
    const std::unique_ptr<zint_symbol, void (*)(zint_symbol*)> symbol(ZBarcode_Create(),
                                                                      ZBarcode_Delete);
    if (!symbol) throw CodeError(cp("Нет памяти для кода"));
    const bool qr = kind == CodeKind::QR;
    symbol->symbology = qr ? BARCODE_QRCODE : BARCODE_DATAMATRIX;
    symbol->input_mode = DATA_MODE;
    if (qr)
        symbol->option_1 = 2;  // level M: a scratch or a stain is corrected
    else
        symbol->option_3 = DM_SQUARE;
    const int status =
        ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(bytes.data()),
                        static_cast<int>(bytes.size()));
    if (status >= ZINT_ERROR)
        throw CodeError(cp(qr ? "QR-код: " : "DataMatrix: ") + cp("текст не кодируется (") +
                        std::string(symbol->errtxt) + ")");
    CodeModules modules;
    modules.columns = symbol->width;
    modules.rows = symbol->rows;
    modules.quiet = qr ? 4 : 1;
    modules.dark.reserve(static_cast<std::size_t>(modules.columns) *
                         static_cast<std::size_t>(modules.rows));
    // Row after row, eight modules a byte, the first in the lowest bit.
    for (int r = 0; r < modules.rows; ++r)
        for (int c = 0; c < modules.columns; ++c)
            modules.dark.push_back(((symbol->encoded_data[r][c >> 3] >> (c & 7)) & 1) != 0);
    return modules;
}
#else
CodeModules EncodeCode(CodeKind, std::string_view) {
    throw CodeError(cp("Эта сборка VEzor без QR и DataMatrix"));
}
#endif

double CodeModuleSize(const CodeModules& modules, double size) {
    const int across = std::max(modules.columns, modules.rows) + 2 * modules.quiet;
    return across > 0 ? size / across : 0;
}

std::vector<std::vector<CodePoint>> CodeFillStrokes(const CodeModules& modules, double size,
                                                    double lineWidth) {
    std::vector<std::vector<CodePoint>> strokes;
    const double m = CodeModuleSize(modules, size);
    if (!(m > 0)) return strokes;
    const double half = std::min(lineWidth / 2, m / 2);
    const double origin = modules.quiet * m;
    for (int r = 0; r < modules.rows; ++r) {
        // The lines across the row: the pen's edge on the row's edges.
        const double top = origin + r * m + half;
        const double bottom = origin + (r + 1) * m - half;
        const int gaps = lineWidth > 0 && bottom > top
                             ? static_cast<int>(std::ceil((bottom - top) / lineWidth - 1e-9))
                             : 0;
        const bool leftward = r % 2 == 1;
        std::vector<std::pair<int, int>> runs;
        for (int c = 0; c < modules.columns;) {
            if (!modules.at(c, r)) {
                ++c;
                continue;
            }
            const int first = c;
            while (c < modules.columns && modules.at(c, r)) ++c;
            runs.emplace_back(first, c - 1);
        }
        if (leftward) std::reverse(runs.begin(), runs.end());
        for (const auto& [first, last] : runs) {
            const double left = origin + first * m + half;
            const double right = origin + (last + 1) * m - half;
            std::vector<CodePoint> stroke;
            // Start at the end the previous run of the row left the pen nearest.
            bool toRight = !leftward;
            for (int k = 0; k <= gaps; ++k) {
                const double y = gaps == 0 ? (top + bottom) / 2 : top + (bottom - top) * k / gaps;
                stroke.push_back({toRight ? left : right, y});
                stroke.push_back({toRight ? right : left, y});
                toRight = !toRight;
            }
            strokes.push_back(std::move(stroke));
        }
    }
    return strokes;
}
