#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "lib/Collection.h"

// String helpers of the library. Text is Windows-1251; positions are 1-based.
// Stateless: every operation works only on its arguments.
class Text_peob {
  public:
    // Trims spaces (code 32) from Stroka in place; returns the part before the
    // first "=", or the whole trimmed text when there is none.
    static std::string DoRavno(std::string& Stroka);
    // The part after the first "=" (untrimmed), or "".
    static std::string PosleRavno(const std::string& Stroka);
    // Replaces every character equal to Inp (a one-character text) by Ou.
    static std::string ZamenaSimvolInStroka(const std::string& Stroka, const std::string& Inp,
                                            const std::string& Ou);

    // True when both texts are non-empty and equal ignoring letter case
    // (Latin and Cyrillic); spaces count.
    static bool StrRavnoStr(const std::string& Stroka, const std::string& Stroka1);
    // 1-based position of the first item StrRavnoStr finds equal to Stroka; 0 when none.
    static std::size_t strInCollection(const Collection<std::string>& Coll,
                                       const std::string& Stroka);
};
