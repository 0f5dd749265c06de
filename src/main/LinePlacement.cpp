#include "main/LinePlacement.h"

#include <cmath>
#include <numbers>

#include "gcode/MoveNumber.h"
#include "lib/NumberText.h"
#include "lib/Win1251.h"

namespace {

std::string trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::string lineName(std::size_t lineNumber) { return cp("Строка ") + std::to_string(lineNumber); }

std::string millimetres(double v) {
    return numtext::shortest(numtext::roundHalfEven(v, 1), numtext::decimalSeparator());
}

std::optional<LineAlign> alignFrom(const std::string& value) {
    const std::string v = upper(trimmed(value));
    if (v == "L") return LineAlign::Left;
    if (v == "C") return LineAlign::Centre;
    if (v == "R") return LineAlign::Right;
    return std::nullopt;
}

// A number of the arc tag: "." or "," as the decimal mark, an optional sign.
std::optional<double> arcNumber(const std::string& field) {
    std::string text = trimmed(field);
    for (char& c : text)
        if (c == ',') c = '.';
    std::size_t consumed = 0;
    const double v = numtext::leadingNumber(text, consumed);
    if (consumed == 0 || consumed != text.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

// "CX;CY;R;ANGLE[;CW|CCW]"; empty optional inside for "OFF". Nothing at all
// when the text does not read.
std::optional<std::optional<ArcPath>> arcFrom(const std::string& value) {
    const std::string v = upper(trimmed(value));
    if (v == "OFF") return std::optional<ArcPath>{};
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const auto semicolon = v.find(';', start);
        fields.push_back(v.substr(start, semicolon - start));
        if (semicolon == std::string::npos) break;
        start = semicolon + 1;
    }
    if (fields.size() < 4 || fields.size() > 5) return std::nullopt;
    ArcPath arc;
    double* const numbers[] = {&arc.centreX, &arc.centreY, &arc.radius, &arc.startDegrees};
    for (std::size_t i = 0; i < 4; ++i) {
        const auto n = arcNumber(fields[i]);
        if (!n) return std::nullopt;
        *numbers[i] = *n;
    }
    if (!(arc.radius > 0)) return std::nullopt;
    if (fields.size() == 5) {
        const std::string direction = trimmed(fields[4]);
        if (direction == "CCW")
            arc.clockwise = false;
        else if (direction != "CW")
            return std::nullopt;
    }
    return std::optional<ArcPath>{arc};
}

// A finished coordinate of a placed point: hundredths, never exactly 0.
double finished(double v) {
    const double r = movenumber::roundHundredths(v);
    if (r != 0) return r;
    return std::signbit(v) ? -0.01 : 0.01;
}

}  // namespace

PlacementTags::Line PlacementTags::read(const ProjectLine& line, bool emptyText,
                                        std::size_t lineNumber, std::vector<std::string>& notes) {
    LinePlacement own = defaults_;
    bool placementTags = false;
    bool otherTags = false;
    for (std::size_t k = 1; k <= line.TagNames.Count(); ++k) {
        const std::string& name = line.TagNames.Item(k);
        const std::string& value = line.TagValues.Item(k);
        if (name == "ALIGN") {
            placementTags = true;
            if (const auto align = alignFrom(value))
                own.align = *align;
            else
                notes.push_back(lineName(lineNumber) + cp(": выравнивание «") + value +
                                cp("» не понято (L, C или R), тег пропущен"));
        } else if (name == "ARC") {
            placementTags = true;
            if (const auto arc = arcFrom(value))
                own.arc = *arc;
            else
                notes.push_back(lineName(lineNumber) + cp(": дуга «") + value +
                                cp("» не понята (X;Y;радиус;угол;CW или CCW), тег пропущен"));
        } else {
            otherTags = true;
        }
    }
    Line result;
    result.settingOnly = emptyText && placementTags && !otherTags;
    if (result.settingOnly) defaults_ = own;
    result.placement = own;
    return result;
}

LinePlacer::LinePlacer(const LinePlacement& placement, double lineWidth, double fieldWidth,
                       double letterHeight, std::size_t lineNumber, std::vector<std::string>& notes)
    : arc_(placement.arc), middle_(letterHeight / 2) {
    const double room = arc_ ? 0 : fieldWidth;
    if (!arc_ && lineWidth > fieldWidth && placement.align != LineAlign::Left) {
        notes.push_back(lineName(lineNumber) + cp(" шире поля (") + millimetres(lineWidth) +
                        cp(" мм при ширине ") + millimetres(fieldWidth) +
                        cp(" мм): оставлена у левого края"));
        return;
    }
    if (arc_ && lineWidth > 2 * std::numbers::pi * arc_->radius)
        notes.push_back(lineName(lineNumber) +
                        cp(" длиннее окружности дуги: буквы заходят друг на друга"));
    // On an arc the alignment is about the start angle: centred text has its
    // middle there, right-aligned text ends there.
    if (placement.align == LineAlign::Centre) offset_ = (room - lineWidth) / 2;
    if (placement.align == LineAlign::Right) offset_ = room - lineWidth;
}

PenPoint LinePlacer::place(const PenPoint& g, double letterWidth, double penX, double lineY) const {
    if (!arc_) return PenPoint{finished(g.X + penX + offset_), finished(-(g.Y + lineY)), 0};
    // The letter turns as a whole about the middle of its box, which sits on
    // the circle at the arc length its middle has along the line.
    const ArcPath& a = *arc_;
    const double along = offset_ + penX + letterWidth / 2;
    const double turn = along / a.radius;
    const double start = a.startDegrees * std::numbers::pi / 180;
    const double angle = a.clockwise ? start - turn : start + turn;
    const double radialX = std::cos(angle);
    const double radialY = std::sin(angle);
    // Right along the text and up the letter, as unit vectors.
    const double side = a.clockwise ? 1 : -1;
    const double rightX = side * radialY;
    const double rightY = -side * radialX;
    const double upX = side * radialX;
    const double upY = side * radialY;
    const double u = g.X - letterWidth / 2;
    const double v = middle_ - g.Y;
    return PenPoint{finished(a.centreX + a.radius * radialX + u * rightX + v * upX),
                    finished(a.centreY + a.radius * radialY + u * rightY + v * upY), 0};
}
