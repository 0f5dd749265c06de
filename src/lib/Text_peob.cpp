#include "lib/Text_peob.h"

#include <algorithm>
#include <array>
#include <utility>

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

bool Text_peob::StrRavnoStr(const std::string& Stroka, const std::string& Stroka1) {
    if (Stroka.empty() || Stroka1.empty() || Stroka.size() != Stroka1.size()) return false;
    for (std::size_t i = 0; i < Stroka.size(); ++i)
        if (win1251::toLower(Stroka[i]) != win1251::toLower(Stroka1[i])) return false;
    return true;
}

std::size_t Text_peob::strInCollection(const Collection<std::string>& Coll,
                                       const std::string& Stroka) {
    for (std::size_t i = 1; i <= Coll.Count(); ++i)
        if (StrRavnoStr(Coll.Item(i), Stroka)) return i;
    return 0;
}

namespace {
using Table = std::array<unsigned char, 256>;

Table identityTable() {
    Table t{};
    for (int b = 0; b < 256; ++b) t[static_cast<std::size_t>(b)] = static_cast<unsigned char>(b);
    return t;
}

const Table& normalisingTable() {
    static const Table table = [] {
        Table t = identityTable();
        t['.'] = ' ';
        for (int c = 'a'; c <= 'z'; ++c)
            t[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c - 32);
        // Latin letters that look like Cyrillic capitals, either case.
        const std::pair<char, unsigned char> lookAlikes[] = {
            {'A', 192}, {'B', 194}, {'C', 209}, {'E', 197}, {'H', 205}, {'K', 202},
            {'M', 204}, {'O', 206}, {'P', 208}, {'T', 210}, {'X', 213}};
        for (const auto& [latin, cyrillic] : lookAlikes) {
            t[static_cast<unsigned char>(latin)] = cyrillic;
            t[static_cast<unsigned char>(latin + 32)] = cyrillic;
        }
        for (int c = 224; c <= 255; ++c)
            t[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c - 32);
        t[168] = 197;  // Ё
        t[184] = 197;  // ё
        t[201] = 200;  // Й
        t[233] = 200;  // й
        t[220] = 218;  // Ь
        t[252] = 218;  // ь
        return t;
    }();
    return table;
}

const Table& dosTable() {
    static const Table table = [] {
        Table t = identityTable();
        for (int c = 128; c <= 175; ++c)
            t[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c + 64);
        for (int c = 224; c <= 239; ++c)
            t[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c + 16);
        for (int c = 240; c <= 251; ++c)
            t[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c - 32);
        t[184] = 197;
        t[201] = 200;
        t[220] = 218;
        t[252] = 218;
        t[253] = 221;
        t[254] = 222;
        t[255] = 223;
        return t;
    }();
    return table;
}

unsigned char byteOf(char c) { return static_cast<unsigned char>(c); }

template <typename Keep>
std::string filtered(const std::string& text, Keep keep) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (keep(byteOf(c))) out += c;
    return out;
}
}  // namespace

bool Text_peob::instrTochno(const std::string& Stroka, const std::string& podStr) {
    for (std::size_t i = 0; i < Stroka.size(); ++i)
        if (Stroka[i] == '@' && Stroka.compare(i, podStr.size(), podStr) == 0) return true;
    return false;
}

std::string Text_peob::PreobrStr(const std::string& Stroka) {
    const Table& table = normalisingTable();
    std::string out;
    out.reserve(Stroka.size());
    for (char c : Stroka) {
        const unsigned char mapped = table[byteOf(c)];
        if (c != ' ' && mapped != ' ') out += static_cast<char>(mapped);
    }
    return out;
}

std::size_t Text_peob::strInMassiv(const Massiv& Massiv, const std::string& Stroka) {
    for (std::size_t i = 1; i < Massiv.size(); ++i)
        if (StrRavnoStr(Massiv[i], Stroka)) return i;
    return 0;
}

std::string Text_peob::DelEOL(const std::string& Stroka) {
    std::string out = Stroka;
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    return out;
}

std::string Text_peob::ASCII_ANSI(const std::string& Stroka_Dat) {
    const Table& table = dosTable();
    std::string out = Stroka_Dat;
    for (char& c : out) c = static_cast<char>(table[byteOf(c)]);
    return out;
}

void Text_peob::Sortirovka(Massiv& Otvet, RandomSource& random) {
    if (Otvet.size() < 2) return;
    const std::size_t n = Otvet.size() - 1;
    // Draw-and-redraw permutation; a taken-flag per index keeps each retry O(1).
    std::vector<std::size_t> order(n + 1, 0);
    std::vector<bool> taken(n + 1, false);
    for (std::size_t k = 1; k <= n; ++k) {
        std::size_t r = 0;
        do {
            r = std::min(n, static_cast<std::size_t>(static_cast<double>(n) * random.next()) + 1);
        } while (taken[r]);
        taken[r] = true;
        order[k] = r;
    }
    const Massiv copy(Otvet);
    for (std::size_t k = 1; k <= n; ++k) Otvet[k] = copy[order[k]];
}

void Text_peob::ViborInMassiv(Massiv& Massiv, std::size_t Kol, RandomSource& random) {
    if (Kol == 0) throw DivisionByZeroError(cp("Деление на ноль"));
    if (Massiv.size() < 2)
        throw InvalidCallError("ViborInMassiv: the array holds no element to choose from");
    const std::size_t n = Massiv.size() - 1;
    const std::size_t s = n / Kol;
    if (s < 2) Sortirovka(Massiv, random);
    std::vector<std::string> picked;
    picked.reserve(Kol);
    for (std::size_t i = 1; i <= Kol; ++i) {
        // Within block i; with s == 0 every pick is element 1.
        const std::size_t offset =
            s == 0
                ? 0
                : std::min(s - 1, static_cast<std::size_t>(static_cast<double>(s) * random.next()));
        picked.push_back(Massiv[(i - 1) * s + 1 + offset]);
    }
    Massiv.resize(Kol + 1);
    for (std::size_t i = 1; i <= Kol; ++i) Massiv[i] = std::move(picked[i - 1]);
}

std::string Text_peob::DelSpace(const std::string& Stroka) {
    return filtered(Stroka, [](unsigned char c) { return c != ' '; });
}

std::string Text_peob::DelSpacePrepinanie(const std::string& Stroka) {
    static const std::string dropped = "/\\:*?><|.,';!-_+= ";
    return filtered(Stroka, [](unsigned char c) {
        return dropped.find(static_cast<char>(c)) == std::string::npos;
    });
}

std::string Text_peob::DelNoASCII(const std::string& Stroka) {
    return filtered(Stroka, [](unsigned char c) { return c >= 32; });
}

void Text_peob::ClearColection(Collection<std::string>& Coll) { Coll.Clear(); }

void Text_peob::ColectionOneToOne(Collection<std::string>& Coll) {
    Collection<std::string> unique;
    for (auto& item : Coll)
        if (strInCollection(unique, item) == 0) unique.Add(std::move(item));
    Coll = std::move(unique);
}
