#include <gtest/gtest.h>

#include <cmath>

#include "main/CodeSymbol.h"

namespace {

#ifdef VEZOR_HAVE_ZINT

TEST(CodeSymbol, FortyCharactersMakeAVersion3QrAndAShortTextASquareDataMatrix) {
    const CodeModules qr = EncodeCode(CodeKind::QR, "https://vezor.example/b?id=0042&n=Ivanov");
    EXPECT_EQ(qr.columns, 29);
    EXPECT_EQ(qr.rows, 29);
    EXPECT_EQ(qr.quiet, 4);
    // The finder pattern's dark ring and light ring in the top-left corner.
    for (int i = 0; i < 7; ++i) EXPECT_TRUE(qr.at(i, 0) && qr.at(0, i) && qr.at(6, i)) << i;
    EXPECT_FALSE(qr.at(1, 1));
    EXPECT_FALSE(qr.at(7, 0));
    const CodeModules dm = EncodeCode(CodeKind::DataMatrix, "VEZOR-0042");
    EXPECT_EQ(dm.columns, dm.rows);
    EXPECT_EQ(dm.quiet, 1);
    // The solid L of the finder: the left column and the bottom row.
    for (int i = 0; i < dm.rows; ++i) EXPECT_TRUE(dm.at(0, i) && dm.at(i, dm.rows - 1)) << i;
    EXPECT_THROW(EncodeCode(CodeKind::QR, std::string(8000, 'x')), CodeError);
}

TEST(CodeSymbol, StrokesBlackenTheDarkModulesAndNothingElse) {
    const CodeModules qr = EncodeCode(CodeKind::QR, "VEzor");
    const double size = 21 + 8;  // one millimetre a module
    const double pen = 0.3;
    const auto strokes = CodeFillStrokes(qr, size, pen);
    std::vector<int> linesOverModule(qr.dark.size(), 0);
    for (const auto& stroke : strokes) {
        ASSERT_GE(stroke.size(), 2u);
        for (std::size_t k = 0; k + 1 < stroke.size(); ++k) {
            const CodePoint a = stroke[k];
            const CodePoint b = stroke[k + 1];
            // Every move runs along a row or steps down within it, the pen's
            // edge never past a dark module's edge.
            const int row = static_cast<int>(std::floor(a.y)) - 4;
            ASSERT_EQ(row, static_cast<int>(std::floor(b.y)) - 4);
            EXPECT_GE(a.y - (row + 4), pen / 2 - 1e-9);
            EXPECT_LE(a.y - (row + 4), 1 - pen / 2 + 1e-9);
            if (a.y != b.y) {
                EXPECT_LE(std::abs(b.y - a.y), pen + 1e-9) << "lines at most a pen apart";
                continue;
            }
            for (double x = std::min(a.x, b.x) - pen / 2 + 1e-6; x < std::max(a.x, b.x) + pen / 2;
                 x += 0.05) {
                const int column = static_cast<int>(std::floor(x)) - 4;
                ASSERT_TRUE(column >= 0 && column < qr.columns && qr.at(column, row))
                    << "ink at " << x << ", row " << row;
            }
            for (int c = 0; c < qr.columns; ++c)
                if (c + 4.5 > std::min(a.x, b.x) && c + 4.5 < std::max(a.x, b.x))
                    ++linesOverModule[static_cast<std::size_t>(row * qr.columns + c)];
        }
    }
    // A module of 1 mm takes four lines of a 0.3 mm pen, first and last on its edges.
    for (std::size_t i = 0; i < qr.dark.size(); ++i)
        EXPECT_EQ(linesOverModule[i], qr.dark[i] ? 4 : 0) << i;
}

#else

TEST(CodeSymbol, WithoutTheLibraryACodeIsRefusedWithAMessage) {
    EXPECT_THROW(EncodeCode(CodeKind::QR, "x"), CodeError);
}

#endif

}  // namespace
