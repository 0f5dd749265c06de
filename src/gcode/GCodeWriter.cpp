#include "gcode/GCodeWriter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "gcode/MoveNumber.h"
#include "gcode/MoveText.h"
#include "lib/Fail_YN.h"
#include "lib/ProgramFolder.h"
#include "lib/TextFile.h"
#include "lib/Win1251.h"

GCodeTarget ProposeGCodeTarget(const std::string& projectPath) {
    return GCodeTarget{Fail_YN::DelAppPath(Fail_YN::DelFailInPath(projectPath)),
                       Fail_YN::DelRashirenie(Fail_YN::DelPath(projectPath)) + ".gcode"};
}

std::string GCodeFilePath(const GCodeTarget& target, const std::string& answer) {
    return joinPath(Fail_YN::AppPath(), target.relativeFolder + answer);
}

NothingToWriteError::NothingToWriteError()
    : VezorError(cp("Нет перемещений для записи: G-code не записан")) {}

CoordinateRangeError::CoordinateRangeError()
    : VezorError(cp("Координаты вне допустимого диапазона: G-code не записан")) {}

namespace {

// Grows as it fills; every record is written through a pointer, with room for
// the longest record checked once per record.
class ProgramText {
  public:
    explicit ProgramText(std::size_t expected) : text_(expected + kRecordRoom, '\0') {
        p_ = text_.data();
    }

    // Room for one record and extra bytes more.
    void room(std::size_t extra = 0) {
        const auto used = static_cast<std::size_t>(p_ - text_.data());
        if (text_.size() - used >= kRecordRoom + extra) return;
        text_.resize(std::max(2 * text_.size(), used + extra) + kRecordRoom);
        p_ = text_.data() + used;
    }
    void put(std::string_view s) {
        std::memcpy(p_, s.data(), s.size());
        p_ += s.size();
    }
    void putNumber(double v) { p_ = movenumber::writeShortest(p_, v, '.'); }

    // The move text of a record as the list shows it, with "." for every ",".
    void putMoveLine(const PenPoint& p) {
        char* const start = p_;
        if (p.X != 0 && p.Y != 0 && p.Z == 0) {
            put("G1X");
            putNumber(p.X);
            put("Y");
            putNumber(p.Y);
        } else {
            put(FormatMoveLine(p.X, p.Y, p.Z, '.'));
            std::replace(start, p_, ',', '.');
        }
        put(kEol);
    }
    void putRapidTo(const PenPoint& p) {
        put("G0X");
        putNumber(p.X);
        put("Y");
        putNumber(p.Y);
        put(kEol);
    }

    std::string take() {
        text_.resize(static_cast<std::size_t>(p_ - text_.data()));
        return std::move(text_);
    }

    static constexpr std::string_view kEol = "\r\n";

  private:
    // A move line and a rapid move, two numbers each, and the fixed words.
    static constexpr std::size_t kRecordRoom = 4 * movenumber::kMaxNumberLength + 64;
    std::string text_;
    char* p_ = nullptr;
};

bool isLift(const PenPoint& p) { return p.Z > 0; }
bool isDrawingPoint(const PenPoint& p) { return p.X != 0 && p.Y != 0 && p.Z == 0; }

// A laid-out record's text has the length of its move line, and a move to a
// record the length of that record's text, so this is exact for a laid-out
// list and close for any other; a wrong guess only costs a reallocation.
std::size_t expectedSize(const PenPoints& points, std::size_t penDownSize) {
    // Records without a text (a layout for a file only) count as a typical move.
    const auto lineSize = [&](std::size_t i) {
        const std::size_t n = points.line(i).size();
        return n == 0 ? std::size_t{18} : n;
    };
    std::size_t size = 0;
    const std::size_t last = points.count();
    for (std::size_t i = 2; i <= last; ++i) {
        size += lineSize(i) + 2;
        if (points[i].Z > 0) {
            size += penDownSize;
            if (i < last) size += lineSize(i + 1) + 2;
        }
    }
    return size;
}

}  // namespace

bool HasSomethingToWrite(const PenPoints& points) {
    for (std::size_t i = 2; i <= points.count(); ++i)
        if (isDrawingPoint(points[i])) return true;
    return false;
}

std::string BuildGCodeProgram(const PenPoints& points, std::string_view feed) {
    const std::size_t last = points.count();
    bool draws = false;
    for (std::size_t i = 2; i <= last; ++i) {
        const PenPoint& p = points[i];
        if (!std::isfinite(p.X) || !std::isfinite(p.Y) || !std::isfinite(p.Z))
            throw CoordinateRangeError();
        draws = draws || isDrawingPoint(p);
    }
    // Lifts alone would only move the tool about above the plate.
    if (!draws) throw NothingToWriteError();

    const std::string penDown = "G1Z0.000F" + std::string(feed) + "\r\n";
    ProgramText out(expectedSize(points, penDown.size()) + feed.size() + 128);
    out.room(feed.size());
    out.put("T1M6\r\nG0Z5.00\r\nG0X0.00Y0.00S15000F");
    out.put(feed);
    out.put("M3\r\n");
    // A text that starts with a lift (a digit, a punctuation mark, an empty
    // line) must not plunge where the tool happens to be: the lift's own line
    // and the move to the first letter come first.
    if (!isLift(points[2])) {
        out.putRapidTo(points[2]);
        out.put("G0Z0.000\r\n");
    }
    for (std::size_t i = 2; i <= last; ++i) {
        const PenPoint& p = points[i];
        out.room(penDown.size());
        out.putMoveLine(p);
        if (isLift(p)) {
            if (i < last) out.putRapidTo(points[i + 1]);
            out.put(penDown);
        }
    }
    out.room();
    out.put("G0Z5.00\r\nG0X0.00Y0.00\r\nM30\r\n\r\n\r\n\r\n");
    return out.take();
}

void WriteGCodeFile(const std::string& path, std::string_view program) {
    textfile::writeAtomically(path, program);
}
