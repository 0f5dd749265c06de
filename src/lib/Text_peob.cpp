#include "lib/Text_peob.h"

#include <QChar>
#include <array>

#include "lib/Win1251.h"

std::string Text_peob::DoRavno(std::string& Stroka) {
    const auto first = Stroka.find_first_not_of(' ');
    if (first == std::string::npos) {
        Stroka.clear();
        return {};
    }
    const auto last = Stroka.find_last_not_of(' ');
    Stroka = Stroka.substr(first, last - first + 1);
    const auto eq = Stroka.find('=');
    return eq == std::string::npos ? Stroka : Stroka.substr(0, eq);
}

std::string Text_peob::PosleRavno(const std::string& Stroka) {
    const auto eq = Stroka.find('=');
    return eq == std::string::npos ? std::string() : Stroka.substr(eq + 1);
}

std::string Text_peob::ZamenaSimvolInStroka(const std::string& Stroka, const std::string& Inp,
                                            const std::string& Ou) {
    if (Inp.size() != 1) return Stroka;
    std::string out;
    out.reserve(Stroka.size());
    for (char c : Stroka) {
        if (c == Inp[0])
            out += Ou;
        else
            out += c;
    }
    return out;
}

namespace {
// Windows-1251 byte -> its lower-case byte, built from the code page's Unicode table so
// that every cased letter of the page folds (Cyrillic, Ё/ё, the Ukrainian and Serbian letters).
const std::array<unsigned char, 256>& lowerTable() {
    static const auto table = [] {
        std::array<unsigned char, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const auto code = static_cast<unsigned char>(b);
            t[code] = code;
            const char32_t u = win1251::toUnicode(code);
            if (u > 0xFFFF) continue;
            const char32_t lower = QChar(static_cast<char16_t>(u)).toLower().unicode();
            bool ok = false;
            const unsigned char back = win1251::fromUnicode(lower, &ok);
            if (ok) t[code] = back;
        }
        return t;
    }();
    return table;
}
}  // namespace

bool Text_peob::StrRavnoStr(const std::string& Stroka, const std::string& Stroka1) {
    if (Stroka.empty() || Stroka1.empty() || Stroka.size() != Stroka1.size()) return false;
    const auto& lower = lowerTable();
    for (std::size_t i = 0; i < Stroka.size(); ++i)
        if (lower[static_cast<unsigned char>(Stroka[i])] !=
            lower[static_cast<unsigned char>(Stroka1[i])])
            return false;
    return true;
}

std::size_t Text_peob::strInCollection(const Collection<std::string>& Coll,
                                       const std::string& Stroka) {
    for (std::size_t i = 1; i <= Coll.Count(); ++i)
        if (StrRavnoStr(Coll.Item(i), Stroka)) return i;
    return 0;
}
