#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "lib/Collection.h"
#include "lib/RandomSource.h"
#include "lib/VezorError.h"

// A ViborInMassiv call asking for zero elements (the block length would divide by zero).
class DivisionByZeroError : public VezorError {
  public:
    using VezorError::VezorError;
};

// String helpers of the library. Text is Windows-1251; positions are 1-based.
// Stateless: every operation works only on its arguments.
//
// String arrays are std::vector<std::string> used from index 1 to size() - 1;
// element 0, when there is one, is left alone.
class Text_peob {
  public:
    using Massiv = std::vector<std::string>;

    // Trims spaces (code 32) from Stroka in place; returns the part before the
    // first "=", or the whole trimmed text when there is none.
    static std::string DoRavno(std::string& Stroka);
    // The part after the first "=" (untrimmed), or "".
    static std::string PosleRavno(const std::string& Stroka);
    // Replaces every character equal to Inp (a one-character text) by Ou.
    static std::string ZamenaSimvolInStroka(const std::string& Stroka, const std::string& Inp,
                                            const std::string& Ou);

    // True when podStr occurs in Stroka at a position holding "@".
    static bool instrTochno(const std::string& Stroka, const std::string& podStr);
    // Comparison key of a Russian text: capitals, look-alike Latin letters made
    // Cyrillic, Ё -> Е, Й -> И, Ь -> Ъ, points and spaces dropped.
    static std::string PreobrStr(const std::string& Stroka);
    // True when both texts are non-empty and equal ignoring letter case
    // (Latin and Cyrillic); spaces count.
    static bool StrRavnoStr(const std::string& Stroka, const std::string& Stroka1);
    // Index (1..size()-1) of the first element StrRavnoStr finds equal to Stroka; 0 when none.
    static std::size_t strInMassiv(const Massiv& Massiv, const std::string& Stroka);
    // 1-based position of the first item StrRavnoStr finds equal to Stroka; 0 when none.
    static std::size_t strInCollection(const Collection<std::string>& Coll,
                                       const std::string& Stroka);
    // Every CR and every LF becomes one space.
    static std::string DelEOL(const std::string& Stroka);
    // DOS Cyrillic (code page 866) text to Windows-1251 through the library's table.
    static std::string ASCII_ANSI(const std::string& Stroka_Dat);
    // Puts elements 1..size()-1 into a random order.
    static void Sortirovka(Massiv& Otvet, RandomSource& random = defaultRandomSource());
    // Replaces elements 1.. by Kol elements picked one from each block of
    // size()-1 / Kol consecutive elements (shuffled first when the blocks are
    // shorter than 2). Throws DivisionByZeroError for Kol == 0 and
    // InvalidCallError when the array has no element to pick.
    static void ViborInMassiv(Massiv& Massiv, std::size_t Kol,
                              RandomSource& random = defaultRandomSource());
    // Copy without spaces (code 32).
    static std::string DelSpace(const std::string& Stroka);
    // Copy without / \ : * ? > < | . , ' ; ! - _ + = and spaces.
    static std::string DelSpacePrepinanie(const std::string& Stroka);
    // Copy without control characters (codes 0 to 31).
    static std::string DelNoASCII(const std::string& Stroka);
    static void ClearColection(Collection<std::string>& Coll);
    // Keeps the first of every group of items StrRavnoStr finds equal, in order.
    // Empty items never compare equal, so each of them stays.
    static void ColectionOneToOne(Collection<std::string>& Coll);
};
