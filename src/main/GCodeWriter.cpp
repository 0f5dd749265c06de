#include "main/GCodeWriter.h"

#include "lib/Fail_YN.h"
#include "lib/ProgramFolder.h"
#include "lib/TextFile.h"
#include "lib/Win1251.h"
#include "main/Layout.h"
#include "main/MoveNumber.h"

GCodeTarget ProposeGCodeTarget(const std::string& projectPath) {
    return GCodeTarget{Fail_YN::DelAppPath(Fail_YN::DelFailInPath(projectPath)),
                       Fail_YN::DelRashirenie(Fail_YN::DelPath(projectPath)) + ".gcode"};
}

std::string GCodeFilePath(const GCodeTarget& target, const std::string& answer) {
    return joinPath(Fail_YN::AppPath(), target.relativeFolder + answer);
}

NothingToWriteError::NothingToWriteError()
    : VezorError(cp("Нет перемещений для записи: G-code не записан")) {}

namespace {

constexpr std::string_view kEol = "\r\n";

void appendRapidTo(std::string& out, const PenPoint& p) {
    out += "G0X";
    movenumber::appendShortest(out, p.X, '.');
    out += 'Y';
    movenumber::appendShortest(out, p.Y, '.');
    out += kEol;
}

// The record's text as the list shows it, with "." for every ",".
void appendMoveLine(std::string& out, const PenPoint& p) {
    const std::size_t start = out.size();
    if (p.X != 0 && p.Y != 0 && p.Z == 0) {
        out += "G1X";
        movenumber::appendShortest(out, p.X, '.');
        out += 'Y';
        movenumber::appendShortest(out, p.Y, '.');
    } else {
        out += FormatMoveLine(p.X, p.Y, p.Z, '.');
        for (std::size_t i = start; i < out.size(); ++i)
            if (out[i] == ',') out[i] = '.';
    }
    out += kEol;
}

}  // namespace

std::string BuildGCodeProgram(const PenPoints& points, std::string_view feed) {
    const std::size_t last = points.count();
    if (last < 2) throw NothingToWriteError();

    std::string out;
    out.reserve(last * 18 + 256);
    out += "T1M6\r\nG0Z5.00\r\nG0X0.00Y0.00S15000F";
    out += feed;
    out += "M3\r\n";
    appendRapidTo(out, points[2]);
    out += "G0Z0.000\r\n";
    for (std::size_t i = 2; i <= last; ++i) {
        const PenPoint& p = points[i];
        appendMoveLine(out, p);
        if (p.Z > 0) {
            if (i < last) appendRapidTo(out, points[i + 1]);
            out += "G1Z0.000F";
            out += feed;
            out += kEol;
        }
    }
    out += "G0Z5.00\r\nG0X0.00Y0.00\r\nM30\r\n\r\n\r\n\r\n";
    return out;
}

void WriteGCodeFile(const std::string& path, std::string_view program) {
    textfile::writeAtomically(path, program);
}
