#include "gcode/GCodeReader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "lib/DiskFiles.h"
#include "lib/NumberText.h"
#include "lib/Win1251.h"

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isNumberChar(char c) { return isDigit(c) || c == '-' || c == '+' || c == '.' || c == ','; }

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// What the line scanner needs to know about a byte.
enum ByteClass : unsigned char { kPlain = 0, kX = 1, kY = 2, kZ = 3, kLineEnd = 4 };

constexpr std::array<unsigned char, 256> makeByteClasses() {
    std::array<unsigned char, 256> classes{};
    classes['X'] = classes['x'] = kX;
    classes['Y'] = classes['y'] = kY;
    classes['Z'] = classes['z'] = kZ;
    classes['\r'] = classes['\n'] = kLineEnd;
    return classes;
}
constexpr std::array<unsigned char, 256> kByteClasses = makeByteClasses();

// The number run right after an axis letter, as the reader sees it.
std::string_view numberRun(const char* begin, const char* end) {
    const char* p = begin;
    while (p < end && isNumberChar(*p)) ++p;
    return std::string_view(begin, static_cast<std::size_t>(p - begin));
}

std::optional<double> convert(std::string_view body, bool negative) {
    const std::optional<double> value = numtext::parseMarkedDecimal(body);
    // A number too large for a double is no coordinate.
    if (!value || std::isinf(*value)) return std::nullopt;
    return negative ? -*value : *value;
}

}  // namespace

namespace {

// A line of a binary file can run to megabytes; a message box showing it
// whole would take longer to lay out than the user would wait.
constexpr std::size_t kQuotedLineLimit = 200;

// Control characters and the one code Windows-1251 leaves undefined show as
// nothing in a message box (a NUL even ends its text there).
bool unprintable(unsigned char c) { return (c < 32 && c != '\t') || c == 127 || c == 0x98; }

// The line as the message shows it, appended to `out`: every unprintable byte
// as \xNN, the first 200 characters of that and "..." when there are more.
// Appended piece by piece: "'" + std::string(...) is taken by g++ 12 at -O3 for
// an overlapping copy (-Wrestrict).
void appendShown(std::string& out, std::string_view line) {
    std::size_t shown = 0;
    std::size_t taken = 0;
    for (; taken < line.size(); ++taken) {
        const auto code = static_cast<unsigned char>(line[taken]);
        const bool escape = unprintable(code);
        if (shown + (escape ? 4 : 1) > kQuotedLineLimit) break;
        if (escape) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", code);
            out += escaped;
            shown += 4;
        } else {
            out += line[taken];
            ++shown;
        }
    }
    if (taken < line.size()) out += "...";
}

std::string quotedLine(std::string_view line, std::size_t number) {
    const bool plain = std::none_of(line.begin(), line.end(), [](char c) {
        return unprintable(static_cast<unsigned char>(c));
    });
    // A text line is quoted as it stands; a line of a binary file also gets
    // its number, since what it shows of it may be hard to find in the file.
    std::string quoted;
    quoted.reserve(std::min(line.size(), kQuotedLineLimit) + 24);
    if (!plain && number != 0) {
        quoted += cp("строка ");
        quoted += std::to_string(number);
        quoted += ": ";
    }
    quoted += '\'';
    appendShown(quoted, line);
    quoted += '\'';
    return quoted;
}

}  // namespace

std::string QuotedGCodeLine(std::string_view line) { return quotedLine(line, 0); }

GCodeReadError::GCodeReadError(std::string_view line, std::size_t number)
    : VezorError(cp("Файл скорее всего не является VEzor,") + "\r" +
                 cp("найдены непонятные строки ") + "\r" + quotedLine(line, number)),
      line_(line) {}

EmptyGCodeFileError::EmptyGCodeFileError(const std::string& path)
    : VezorError(cp("Файл G-code пуст: ") + win1251::fromUtf8(path)) {}

std::string ExtractAxisValue(std::string_view line, char letter) {
    const char wanted = upper(letter);
    std::size_t at = 0;
    while (at < line.size() && upper(line[at]) != wanted) ++at;
    if (at == line.size()) return "0";
    std::string value(numberRun(line.data() + at + 1, line.data() + line.size()));
    for (char& c : value)
        if (c == '.') c = ',';
    return value;
}

std::optional<double> axisNumber(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    std::uint64_t mantissa = 0;
    int digits = 0;
    int decimals = 0;
    bool anyMark = false;
    for (char c : text) {
        if (isDigit(c)) {
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
            ++digits;
            if (anyMark) ++decimals;
        } else if ((c == '.' || c == ',') && !anyMark) {
            anyMark = true;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0) return std::nullopt;
    // Up to 15 digits the mantissa and the power of ten are exact doubles, so
    // one division rounds as the decimal reader would; longer numbers go to it.
    if (digits > 15) return convert(text, negative);
    const double value = static_cast<double>(mantissa) / kPowers[decimals];
    return negative ? -value : value;
}

namespace {

// One record a line (lines end at CR LF, CR or LF), each handed to `record`
// with its line and taken into `bounds`. A line that does not read is handed
// over too, as read so far, and then thrown.
template <class Record>
void readLines(std::string_view text, ViewBounds& bounds, EventPump& pump, Record&& record) {
    const char* p = text.data();
    const char* const end = p + text.size();
    std::size_t number = 0;
    while (p < end) {
        ++number;
        const char* const lineStart = p;
        std::array<const char*, 3> firstAxis{};
        unsigned char cls = kPlain;
        while (p < end && (cls = kByteClasses[static_cast<unsigned char>(*p)]) != kLineEnd) {
            if (cls != kPlain && firstAxis[cls - 1] == nullptr) firstAxis[cls - 1] = p;
            ++p;
        }
        const char* const lineEnd = p;
        if (p < end) p += (*p == '\r' && p + 1 < end && p[1] == '\n') ? 2 : 1;
        const std::string_view line(lineStart, static_cast<std::size_t>(lineEnd - lineStart));

        PenPoint point;
        double* const axes[3] = {&point.X, &point.Y, &point.Z};
        for (std::size_t k = 0; k < 3; ++k) {
            if (firstAxis[k] == nullptr) continue;
            const auto value = axisNumber(numberRun(firstAxis[k] + 1, lineEnd));
            if (!value) {
                record(point, line);
                throw GCodeReadError(line, number);
            }
            *axes[k] = *value;
        }
        record(point, line);

        if (point.X > bounds.MaxX) bounds.MaxX = point.X;
        if (point.X < bounds.MinX) bounds.MinX = point.X;
        if (point.Y > bounds.MaxY) bounds.MaxY = point.Y;
        if (point.Y < bounds.MinY) bounds.MinY = point.Y;
        pump.tick();
    }
}

}  // namespace

void ReadGCodeText(std::string_view text, PenPoints& points, ViewBounds& bounds, EventPump& pump) {
    // Sized once, so a million lines cost no regrowth of the record list.
    std::size_t lines = 0;
    std::size_t endBytes = 0;
    const char* const end = text.data() + text.size();
    for (const char* q = text.data(); q < end; ++q) {
        if (*q == '\n') {
            ++lines;
            ++endBytes;
        } else if (*q == '\r') {
            ++endBytes;
            if (q + 1 == end || q[1] != '\n') ++lines;
        }
    }
    if (text.size() > 0 && end[-1] != '\n' && end[-1] != '\r') ++lines;

    if (lines == 0) {
        points.reset();
        return;
    }
    points.clear();
    points.reserve(lines, text.size() - endBytes);
    readLines(text, bounds, pump,
              [&](const PenPoint& point, std::string_view line) { points.append(point, line); });
}

std::string ReadGCodeFileBytes(const std::string& path) {
    const auto fail = [&] {
        return FileReadError(cp("Не удалось открыть файл G-code ") + win1251::fromUtf8(path));
    };
    std::unique_ptr<FILE, int (*)(FILE*)> file(disk::openRegularFile(path), &std::fclose);
    if (!file) throw fail();
    std::string bytes;
    if (std::fseek(file.get(), 0, SEEK_END) == 0) {
        const long size = std::ftell(file.get());
        if (size > 0) bytes.reserve(static_cast<std::size_t>(size));
        std::rewind(file.get());
    }
    char buffer[1 << 16];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) bytes.append(buffer, n);
    if (std::ferror(file.get())) throw fail();
    return bytes;
}

void ReadGCodeFile(const std::string& path, PenPoints& points, ViewBounds& bounds,
                   EventPump& pump) {
    const std::string bytes = ReadGCodeFileBytes(path);
    if (bytes.find_first_not_of(" \t\r\n") == std::string::npos) throw EmptyGCodeFileError(path);
    ReadGCodeText(bytes, points, bounds, pump);
}

std::size_t ReadGCodeFileRecords(const std::string& path, PenPointSink& sink, ViewBounds& bounds,
                                 EventPump& pump) {
    const std::string bytes = ReadGCodeFileBytes(path);
    if (bytes.find_first_not_of(" \t\r\n") == std::string::npos) throw EmptyGCodeFileError(path);
    std::size_t records = 0;
    readLines(bytes, bounds, pump, [&](const PenPoint& point, std::string_view) {
        ++records;
        sink.add(point);
    });
    return records == 0 ? 1 : records;
}
