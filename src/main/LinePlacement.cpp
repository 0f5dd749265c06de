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

}  // namespace

double FinishedCoordinate(double v) {
    const double r = movenumber::roundHundredths(v);
    if (r != 0) return r;
    return std::signbit(v) ? -0.01 : 0.01;
}

namespace {

// "W", "W;H", "" (the field's width) or "OFF" (empty inside). Nothing at all
// when the text does not read.
std::optional<std::optional<FitBox>> fitFrom(const std::string& value) {
    const std::string v = upper(trimmed(value));
    if (v == "OFF") return std::optional<FitBox>{};
    FitBox fit;
    const auto semicolon = v.find(';');
    const std::string width = trimmed(v.substr(0, semicolon));
    if (!width.empty()) {
        const auto w = arcNumber(width);
        if (!w || !(*w > 0)) return std::nullopt;
        fit.width = *w;
    }
    if (semicolon != std::string::npos) {
        const auto h = arcNumber(v.substr(semicolon + 1));
        if (!h || !(*h > 0)) return std::nullopt;
        fit.height = *h;
    }
    return std::optional<FitBox>{fit};
}

std::optional<int> boldFrom(const std::string& value) {
    const auto n = arcNumber(value);
    if (!n || *n != std::floor(*n) || *n < 1 || *n > kMaxBold) return std::nullopt;
    return static_cast<int>(*n);
}

// "TEXT" or "TEXT;SIZE": a last field that reads as a number is the size, so
// a text may hold ";" itself.
std::optional<CodeRequest> codeFrom(CodeKind kind, const std::string& value) {
    CodeRequest code;
    code.kind = kind;
    code.text = value;
    if (const auto semicolon = value.rfind(';'); semicolon != std::string::npos) {
        if (const auto size = arcNumber(value.substr(semicolon + 1))) {
            // A code wider than a large plate is a typing error, and would
            // take hundreds of thousands of moves.
            if (!(*size > 0) || *size > 300) return std::nullopt;
            code.size = *size;
            code.text = value.substr(0, semicolon);
        }
    }
    if (code.text.empty()) return std::nullopt;
    return code;
}

}  // namespace

PlacementTags::Line PlacementTags::read(const ProjectLine& line, bool emptyText,
                                        std::size_t lineNumber, std::vector<std::string>& notes) {
    LinePlacement own = defaults_;
    Line result;
    bool placementTags = false;
    bool otherTags = false;
    bool fitTag = false;
    for (std::size_t k = 1; k <= line.TagNames.Count(); ++k) {
        const std::string& name = line.TagNames.Item(k);
        const std::string& value = line.TagValues.Item(k);
        const auto skipped = [&](const char* what, const char* form) {
            notes.push_back(lineName(lineNumber) + cp(what) + value + cp("» не понят") + cp(form) +
                            cp(", тег пропущен"));
        };
        if (name == "ALIGN") {
            placementTags = true;
            if (const auto align = alignFrom(value))
                own.align = *align;
            else
                skipped(": выравнивание «", "о (L, C или R)");
        } else if (name == "ARC") {
            placementTags = true;
            if (const auto arc = arcFrom(value))
                own.arc = *arc;
            else
                skipped(": дуга «", "а (X;Y;радиус;угол;CW или CCW)");
        } else if (name == "FIT") {
            placementTags = true;
            if (const auto fit = fitFrom(value)) {
                own.fit = *fit;
                fitTag = true;
            } else {
                skipped(": вписывание «", "о (ширина или ширина;высота в мм, или OFF)");
            }
        } else if (name == "BOLD") {
            placementTags = true;
            if (const auto bold = boldFrom(value))
                own.bold = *bold;
            else
                skipped(": жирность «", "а (целое число от 1 до 10)");
        } else if (name == "QR" || name == "DM") {
            placementTags = true;
            if (const auto code =
                    codeFrom(name == "QR" ? CodeKind::QR : CodeKind::DataMatrix, value))
                result.code = *code;
            else
                skipped(": код «", " (текст;размер в мм)");
        } else if (name == "MIRROR") {
            placementTags = true;  // read for the whole project beforehand
        } else {
            otherTags = true;
        }
    }
    result.settingOnly = emptyText && placementTags && !otherTags && !result.code;
    if (result.settingOnly) {
        // A fit with a height on a line of its own fits the following lines as
        // one block; any fit of its own ends a block.
        result.fitSet = fitTag;
        if (own.fit && own.fit->height > 0) {
            result.blockFit = own.fit;
            own.fit.reset();
        }
        defaults_ = own;
    }
    if (result.code && !emptyText)
        notes.push_back(lineName(lineNumber) + cp(": текст в строке с кодом пропущен"));
    result.placement = own;
    return result;
}

bool ProjectIsMirrored(const Project& project) {
    for (const ProjectLine& line : project.ProjectLines)
        for (std::size_t k = 1; k <= line.TagNames.Count(); ++k)
            if (line.TagNames.Item(k) == "MIRROR") return true;
    return false;
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
    if (!arc_)
        return PenPoint{FinishedCoordinate(g.X + penX + offset_),
                        FinishedCoordinate(-(g.Y + lineY)), 0};
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
    return PenPoint{FinishedCoordinate(a.centreX + a.radius * radialX + u * rightX + v * upX),
                    FinishedCoordinate(a.centreY + a.radius * radialY + u * rightY + v * upY), 0};
}
