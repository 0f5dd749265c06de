#include "gcode/GCodeBlock.h"

#include <charconv>
#include <cmath>

#include "lib/Win1251.h"

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Letters a controller of this kind reads, other than G, M, N and O.
constexpr std::uint32_t bit(char letter) { return 1u << (letter - 'A'); }
constexpr std::uint32_t kKnownLetters = bit('D') | bit('F') | bit('H') | bit('I') | bit('J') |
                                        bit('K') | bit('L') | bit('P') | bit('Q') | bit('R') |
                                        bit('S') | bit('T') | bit('X') | bit('Y') | bit('Z');
// Numbers past this reach no machine; below it, sums of a million of them stay
// far inside a double's range and a machine's steps inside 64 bits.
constexpr double kLargestNumber = 1e12;
constexpr std::uint32_t kOtherAxes =
    bit('A') | bit('B') | bit('C') | bit('U') | bit('V') | bit('W');

// A G-code number: optional sign, digits with at most one ".", at least one
// digit; no exponent. Plain numbers of up to 15 digits are read straight (the
// mantissa and the power of ten are exact doubles, so one division rounds as
// from_chars would).
const char* readNumber(const char* p, const char* end, double& value) {
    static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const char* q = p;
    bool negative = false;
    if (q < end && (*q == '-' || *q == '+')) negative = *q++ == '-';
    const char* const body = q;
    std::uint64_t mantissa = 0;
    int digits = 0;
    int decimals = 0;
    for (; q < end && isDigit(*q); ++q, ++digits) mantissa = mantissa * 10 + (*q - '0');
    if (q < end && *q == '.')
        for (++q; q < end && isDigit(*q); ++q, ++digits, ++decimals)
            mantissa = mantissa * 10 + (*q - '0');
    if (digits == 0) return nullptr;
    if (digits <= 15) {
        value = static_cast<double>(mantissa) / kPowers[decimals];
    } else {
        const auto [ptr, ec] = std::from_chars(body, q, value);
        if (ec != std::errc() || ptr != q || !std::isfinite(value)) return nullptr;
    }
    if (negative) value = -value;
    return q;
}

// The line without comments, blanks and block delete, upper case. False when
// it holds bytes that no G-code line holds.
bool cleanLine(std::string_view line, std::string& out, bool& delimiter) {
    out.clear();
    std::size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i < line.size() && line[i] == '%') {
        delimiter = true;
        return true;
    }
    if (i < line.size() && line[i] == '/') ++i;
    for (; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '(') {
            const std::size_t close = line.find(')', i + 1);
            // An unclosed comment runs to the end of the line.
            if (close == std::string_view::npos) break;
            i = close;
            continue;
        }
        if (c == ';') break;
        if (c == ' ' || c == '\t') continue;
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u >= 0x7f) return false;
        out.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    }
    // A checksum at the end: "*" and digits. Any other "*" is left to the words.
    const std::size_t star = out.rfind('*');
    if (star != std::string::npos && star + 1 < out.size() &&
        out.find_first_not_of("0123456789", star + 1) == std::string::npos)
        out.resize(star);
    return true;
}

// A G or M number as whole tenths; false for finer fractions.
bool toTenths(double value, CodeTenths& code) {
    const double tenths = value * 10;
    if (!(std::fabs(tenths) < 1e6)) return false;
    const double rounded = std::round(tenths);
    if (std::fabs(tenths - rounded) > 1e-6) return false;
    code = static_cast<CodeTenths>(rounded);
    return true;
}

}  // namespace

std::string BlockIssueText(BlockIssue issue) {
    switch (issue) {
        case BlockIssue::None:
            return {};
        case BlockIssue::NotGCode:
            return cp("не G-код");
        case BlockIssue::NumberTooLarge:
            return cp("число слишком велико");
        case BlockIssue::Parameters:
            return cp("параметры # и выражения [ ] не выполняются");
        case BlockIssue::Subroutine:
            return cp("подпрограммы и циклы O не выполняются");
        case BlockIssue::OtherAxis:
            return cp("оси A, B, C, U, V, W не рисуются");
        case BlockIssue::UnknownWord:
            return cp("неизвестное слово");
        case BlockIssue::RepeatedWord:
            return cp("одна буква дважды");
        case BlockIssue::UnknownG:
            return cp("неизвестный код G");
        case BlockIssue::UnknownM:
            return cp("неизвестный код M");
        case BlockIssue::ModalConflict:
            return cp("два кода одной группы");
        case BlockIssue::CutterCompensation:
            return cp("коррекция на радиус инструмента G41/G42 не выполняется");
        case BlockIssue::InverseTimeFeed:
            return cp("подача G93 (обратное время) не выполняется");
        case BlockIssue::NoFeed:
            return cp("подача F не задана");
        case BlockIssue::ArcWithoutCentre:
            return cp("дуга без центра I/J/K и без радиуса R");
        case BlockIssue::ArcRadiusTooSmall:
            return cp("радиус R меньше половины хорды дуги");
        case BlockIssue::ArcEndOffCircle:
            return cp("конец дуги не лежит на её окружности");
        case BlockIssue::ArcFullCircleByRadius:
            return cp("полная окружность не задаётся радиусом R");
        case BlockIssue::ArcMixedForms:
            return cp("дуга: слова центра и радиуса не той плоскости или вместе");
        case BlockIssue::CycleDepth:
            return cp("цикл сверления: нет Z или R, R ниже Z или шаг Q не больше 0");
        case BlockIssue::CycleRepeats:
            return cp("цикл сверления: слишком много повторов или шагов");
        case BlockIssue::ArcTurns:
            return cp("число оборотов дуги P не целое число от 1");
        case BlockIssue::G53NeedsG0G1:
            return cp("G53 выполняется только с G0 или G1");
        case BlockIssue::CycleNotInXyPlane:
            return cp("циклы сверления выполняются только в плоскости G17");
        case BlockIssue::BadOffsetCommand:
            return cp("G10 выполняется только как L2 или L20 с P0..P9");
        case BlockIssue::AxisWordsUnused:
            return cp("координаты без команды движения");
        case BlockIssue::TwoAxisCommands:
            return cp("две команды, которым нужны координаты");
    }
    return {};
}

BlockIssue ReadGCodeBlock(std::string_view line, GCodeBlock& block, std::string& scratch) {
    block.letters = 0;
    block.gCount = 0;
    block.mCount = 0;
    block.delimiter = false;
    block.words = 0;
    if (!cleanLine(line, scratch, block.delimiter)) return BlockIssue::NotGCode;
    if (block.delimiter) return BlockIssue::None;

    // Checked once the whole line is known to be words: a line of text that
    // happens to hold a "#" is no program line at all.
    bool parameters = false;
    bool subroutine = false;
    BlockIssue issue = BlockIssue::None;
    const auto note = [&issue](BlockIssue found) {
        if (issue == BlockIssue::None) issue = found;
    };
    const char* p = scratch.data();
    const char* const end = p + scratch.size();
    while (p < end) {
        const char letter = *p++;
        if (letter == '#' || letter == '[' || letter == ']' || letter == '=') {
            parameters = true;
            continue;
        }
        if (letter < 'A' || letter > 'Z') {
            if (parameters) continue;  // a part of an expression
            return BlockIssue::NotGCode;
        }
        if (letter == 'O') {
            // "O1234" alone names the program; anything more is a subroutine.
            double ignored = 0;
            const char* after = readNumber(p, end, ignored);
            if (after == nullptr || after != end || block.words > 0) subroutine = true;
            p = after == nullptr ? end : after;
            continue;
        }
        if (p < end && (*p == '#' || *p == '[')) {
            parameters = true;
            continue;
        }
        double v = 0;
        const char* const after = readNumber(p, end, v);
        if (after == nullptr) {
            if (parameters || subroutine) continue;
            return BlockIssue::NotGCode;
        }
        p = after;
        ++block.words;
        if (letter == 'N') continue;
        if (!(std::fabs(v) < kLargestNumber)) {
            note(BlockIssue::NumberTooLarge);
            continue;
        }
        if (letter == 'G' || letter == 'M') {
            CodeTenths code = 0;
            if (!toTenths(v, code)) {
                note(letter == 'G' ? BlockIssue::UnknownG : BlockIssue::UnknownM);
                continue;
            }
            std::size_t& count = letter == 'G' ? block.gCount : block.mCount;
            auto& codes = letter == 'G' ? block.g : block.m;
            if (count == codes.size()) {
                note(BlockIssue::ModalConflict);
                continue;
            }
            codes[count++] = code;
            continue;
        }
        const std::uint32_t b = bit(letter);
        if (b & kOtherAxes) {
            note(BlockIssue::OtherAxis);
            continue;
        }
        if (!(b & kKnownLetters)) {
            note(BlockIssue::UnknownWord);
            continue;
        }
        if (block.letters & b) note(BlockIssue::RepeatedWord);
        block.letters |= b;
        block.value[static_cast<std::size_t>(letter - 'A')] = v;
    }
    if (parameters) return BlockIssue::Parameters;
    if (subroutine) return BlockIssue::Subroutine;
    return issue;
}
