#include "machine/MachineProgram.h"

#include <algorithm>
#include <cstdio>

#include "lib/TextFile.h"
#include "lib/Win1251.h"
#include "machine/GrblRealtime.h"

std::string CleanGCodeLine(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    bool inComment = false;
    for (const char c : line) {
        if (inComment) {
            inComment = c != ')';
        } else if (c == '(') {
            inComment = true;
        } else if (c == ';') {
            break;
        } else if (c != ' ' && c != '\t' && c != '\r' && c != '\n') {
            out.push_back(c);
        }
    }
    if (!out.empty() && out.front() == '%') out.clear();
    return out;
}

namespace {

std::string RealtimeByteInLine(std::size_t number, char c) {
    const auto byte = static_cast<unsigned char>(c);
    std::string what;
    if (byte >= 0x80) {
        char code[8];
        std::snprintf(code, sizeof code, "%02X", byte);
        what = "байт 0x" + std::string(code) + " (буква не латиницы или иной знак вне ASCII)";
    } else if (c == 0x18) {
        what = "знак Ctrl-X";
    } else {
        what = "знак «" + std::string(1, c) + "»";
    }
    return cp("Строка " + std::to_string(number) + " держит вне комментария " + what +
              ": GRBL выполняет такой знак сразу, где бы он ни стоял (пауза, пуск, сброс, "
              "коррекции), а не как часть строки. Уберите его или поставьте в скобки "
              "комментария. Ничего не отправлено.");
}

}  // namespace

MachineProgram MachineProgram::fromText(std::string_view text) {
    MachineProgram program;
    std::size_t number = 0;
    while (!text.empty()) {
        std::size_t end = text.find_first_of("\r\n");
        const std::string_view raw = text.substr(0, end);
        if (end == std::string_view::npos) {
            end = text.size();
        } else if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') {
            ++end;
        }
        text.remove_prefix(std::min(end + 1, text.size()));
        ++number;
        const std::string cleaned = CleanGCodeLine(raw);
        if (cleaned.empty()) continue;
        if (cleaned.size() > kMaxLineLength)
            throw MachineProgramError(
                cp("Строка " + std::to_string(number) + " длиннее, чем GRBL принимает (" +
                   std::to_string(kMaxLineLength) + " знаков без пробелов и комментариев): ") +
                cleaned.substr(0, 40) + "...");
        for (const char c : cleaned)
            if (grbl::isRealtime(c)) throw MachineProgramError(RealtimeByteInLine(number, c));
        program.append(cleaned, number);
    }
    program.path_ = ProgramPath(program);
    program.plan(MachineLimits{});
    return program;
}

MachineProgram MachineProgram::fromFile(const std::string& path) {
    return fromText(textfile::readBytes(path));
}

void MachineProgram::append(std::string_view cleaned, std::size_t sourceLine) {
    if (text_.size() + cleaned.size() > UINT32_MAX || sourceLine > UINT32_MAX)
        throw MachineProgramError(cp("Программа слишком велика для отправки (более 4 ГБ)."));
    text_.append(cleaned);
    offsets_.push_back(static_cast<std::uint32_t>(text_.size()));
    sourceLines_.push_back(static_cast<std::uint32_t>(sourceLine));
}

std::size_t MachineProgram::indexOfSourceLine(std::size_t sourceLine) const {
    return static_cast<std::size_t>(
        std::lower_bound(sourceLines_.begin(), sourceLines_.end(), sourceLine) -
        sourceLines_.begin());
}

void MachineProgram::plan(const MachineLimits& limits) {
    GCodeEstimator estimator(limits);
    secondsBefore_.assign(size(), 0.0F);
    // The estimator counts a move's time when the look-ahead lets it go, a
    // planner's length of lines after it was written, about as GRBL's planner
    // holds the lines already acknowledged: the time before line i is read
    // when line i is written.
    for (std::size_t i = 0; i < size(); ++i) {
        secondsBefore_[i] = static_cast<float>(estimator.secondsSoFar());
        estimator.write(line(i));
        estimator.write("\n");
    }
    totalSeconds_ = estimator.finish().seconds;
}

double MachineProgram::secondsBefore(std::size_t i) const {
    return i < secondsBefore_.size() ? secondsBefore_[i] : totalSeconds_;
}
