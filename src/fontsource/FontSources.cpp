#include "fontsource/FontSources.h"

#include <QString>
#include <charconv>
#include <fstream>
#include <functional>
#include <optional>
#include <set>
#include <sstream>

#include "lib/DiskFiles.h"

namespace fontc {
namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> split(std::string_view s, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const auto end = s.find(separator, start);
        parts.push_back(s.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

std::vector<std::string_view> lines(std::string_view text) {
    std::vector<std::string_view> out;
    for (auto line : split(text, '\n')) out.push_back(trim(line));
    return out;
}

[[noreturn]] void fail(std::size_t lineIndex, const std::string& what) {
    throw FontSourceError("строка " + std::to_string(lineIndex + 1) + ": " + what);
}

double number(std::string_view s, std::size_t lineIndex) {
    s = trim(s);
    double value = 0;
    const char* first = s.data();
    if (!s.empty() && s.front() == '+') ++first;
    const auto [end, ec] = std::from_chars(first, s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size() || s.empty())
        fail(lineIndex, "не число: «" + std::string(s) + "»");
    return value;
}

char32_t hexCode(std::string_view s, std::size_t lineIndex) {
    unsigned long value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, 16);
    if (ec != std::errc() || end != s.data() + s.size() || s.empty() || value > 0x10FFFF)
        fail(lineIndex, "не код знака: «" + std::string(s) + "»");
    return static_cast<char32_t>(value);
}

// A glyph header's code as LibreCAD reads it: the first run of hexadecimal
// digits in the line, five at most ("[0041] A", "[#0020]", "[1F600]"); none
// when the line holds no such digit.
std::optional<char32_t> headerCode(std::string_view line) {
    const auto isHex = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    };
    std::size_t start = 0;
    while (start < line.size() && !isHex(line[start])) ++start;
    if (start == line.size()) return std::nullopt;
    std::size_t end = start;
    while (end < line.size() && end - start < 5 && isHex(line[end])) ++end;
    unsigned long value = 0;
    std::from_chars(line.data() + start, line.data() + end, value, 16);
    return static_cast<char32_t>(value);
}

SourcePath lffPath(std::string_view line, std::size_t lineIndex) {
    SourcePath path;
    for (auto vertexText : split(line, ';')) {
        vertexText = trim(vertexText);
        if (vertexText.empty()) continue;
        auto fields = split(vertexText, ',');
        // "6.,1.5A.41": the bulge written without its comma.
        if (fields.size() == 2) {
            const auto arc = fields[1].find_first_of("Aa");
            if (arc != std::string_view::npos && arc > 0) {
                fields.push_back(fields[1].substr(arc));
                fields[1] = fields[1].substr(0, arc);
            }
        }
        if (fields.size() < 2 || fields.size() > 3)
            fail(lineIndex, "неверная вершина «" + std::string(vertexText) + "»");
        PathVertex v;
        v.p = {number(fields[0], lineIndex), number(fields[1], lineIndex)};
        if (fields.size() == 3) {
            const auto arc = trim(fields[2]);
            if (arc.empty() || (arc.front() != 'A' && arc.front() != 'a'))
                fail(lineIndex, "неверная вершина «" + std::string(vertexText) + "»");
            v.bulge = number(arc.substr(1), lineIndex);
        }
        // The first vertex starts the path, so a bulge there has nothing to bend.
        if (path.empty()) v.bulge = 0;
        path.push_back(v);
    }
    return path;
}

}  // namespace

LffFont parseLff(std::string_view text) {
    LffFont font;
    // A glyph's own paths and the glyphs it includes, resolved once all are read.
    struct RawGlyph {
        SourceGlyph own;
        std::vector<std::pair<char32_t, std::size_t>> references;  // code, line index
        std::string broken;  // the first line that does not read, and why
    };
    std::map<char32_t, RawGlyph> raw;
    RawGlyph* current = nullptr;
    const auto all = lines(text);
    for (std::size_t i = 0; i < all.size(); ++i) {
        std::string_view line = all[i];
        if (i == 0 && line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
        // As LibreCAD reads a font: a blank line ends a glyph, and any other
        // line outside one is passed over, as is a header without a code (a
        // character written as itself) with its lines.
        if (line.empty()) {
            current = nullptr;
            continue;
        }
        if (line.front() == '#') {
            const auto colon = line.find(':');
            if (colon != std::string_view::npos)
                font.header[std::string(trim(line.substr(1, colon - 1)))] =
                    std::string(trim(line.substr(colon + 1)));
            continue;
        }
        if (line.front() == '[') {
            const auto code = headerCode(line);
            current = nullptr;
            if (!code) continue;
            // The first definition counts (a later one may only refer to it).
            if (raw.contains(*code)) {
                ++font.repeated;
                continue;
            }
            current = &raw[*code];
            continue;
        }
        if (!current || !current->broken.empty()) continue;
        try {
            if (line.front() == 'C' || line.front() == 'c') {
                current->references.emplace_back(hexCode(trim(line.substr(1)), i), i);
                continue;
            }
            auto path = lffPath(line, i);
            if (!path.empty()) current->own.paths.push_back(std::move(path));
        } catch (const FontSourceError& e) {
            current->broken = e.what();
        }
    }

    // A glyph that does not read, or includes one that does not, is left out.
    std::map<char32_t, std::string> leftOut;
    std::set<char32_t> resolving;
    std::function<const SourceGlyph*(char32_t)> resolve = [&](char32_t code) -> const SourceGlyph* {
        if (auto done = font.glyphs.find(code); done != font.glyphs.end()) return &done->second;
        if (leftOut.contains(code) || !resolving.insert(code).second) return nullptr;
        const RawGlyph& own = raw.at(code);
        std::string problem = own.broken;
        SourceGlyph glyph;
        for (const auto& [other, at] : own.references) {
            if (!problem.empty()) break;
            const SourceGlyph* included = raw.contains(other) ? resolve(other) : nullptr;
            if (!included) {
                problem = "строка " + std::to_string(at + 1) + ": " +
                          (!raw.contains(other) ? "ссылка на знак, которого нет в шрифте"
                           : resolving.contains(other) ? "знак ссылается сам на себя"
                                                       : "ссылка на знак, который не читается");
                break;
            }
            glyph.paths.insert(glyph.paths.end(), included->paths.begin(), included->paths.end());
        }
        resolving.erase(code);
        if (!problem.empty()) {
            leftOut[code] = problem;
            return nullptr;
        }
        glyph.paths.insert(glyph.paths.end(), own.own.paths.begin(), own.own.paths.end());
        return &(font.glyphs[code] = std::move(glyph));
    };
    for (const auto& entry : raw) resolve(entry.first);
    for (const auto& [code, why] : leftOut)
        font.broken.push_back("«" + QString::fromUcs4(&code, 1).toStdString() + "»: " + why);
    return font;
}

std::vector<JhfGlyph> parseJhf(std::string_view text) {
    std::vector<JhfGlyph> glyphs;
    const auto all = split(text, '\n');
    for (std::size_t i = 0; i < all.size(); ++i) {
        std::string record(all[i]);
        if (!record.empty() && record.back() == '\r') record.pop_back();
        if (trim(record).empty()) continue;
        if (record.size() < 8) fail(i, "слишком короткая запись знака");
        const std::size_t first = i;
        const auto field = [&](std::size_t from, std::size_t count) {
            const auto s = trim(std::string_view(record).substr(from, count));
            int value = 0;
            const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
            if (ec != std::errc() || end != s.data() + s.size() || s.empty())
                fail(first, "неверный номер знака или число вершин");
            return value;
        };
        JhfGlyph glyph;
        glyph.number = field(0, 5);
        const int pairs = field(5, 3);
        if (pairs < 1) fail(first, "у знака нет боковых отступов");
        // Long glyphs continue on the following lines.
        const std::size_t wanted = 8 + 2 * static_cast<std::size_t>(pairs);
        while (record.size() < wanted && i + 1 < all.size()) {
            std::string_view more = all[++i];
            if (!more.empty() && more.back() == '\r') more.remove_suffix(1);
            record += more;
        }
        if (record.size() < wanted) fail(first, "знак короче, чем его число вершин");
        glyph.left = record[8] - 'R';
        glyph.right = record[9] - 'R';
        SourcePath path;
        for (int k = 1; k < pairs; ++k) {
            const char cx = record[8 + 2 * k];
            const char cy = record[9 + 2 * k];
            if (cx == ' ' && cy == 'R') {
                if (!path.empty()) glyph.glyph.paths.push_back(std::move(path));
                path.clear();
                continue;
            }
            if (cx < ' ' || cy < ' ') fail(first, "неверный символ координаты");
            path.push_back({{static_cast<double>(cx - 'R'), static_cast<double>('R' - cy)}, 0});
        }
        if (!path.empty()) glyph.glyph.paths.push_back(std::move(path));
        glyphs.push_back(std::move(glyph));
    }
    return glyphs;
}

std::string readSourceFile(const std::string& path) {
    std::ifstream in(disk::fsPath(path), std::ios::binary);
    if (!in) throw FontSourceError("не удалось прочитать файл " + path);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace fontc
