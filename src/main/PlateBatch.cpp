#include "main/PlateBatch.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>

#include "gcode/GCodeWriter.h"
#include "gcode/MoveNumber.h"
#include "lib/EventPump.h"
#include "lib/NumberText.h"
#include "lib/TextFile.h"
#include "lib/Win1251.h"
#include "main/ProjectFile.h"

std::optional<PlateRows> SerialRange(std::string_view text) {
    const auto dots = text.find("..");
    if (dots == std::string_view::npos) return std::nullopt;
    PlateRows rows;
    const auto number = [](std::string_view s, unsigned long long& out) {
        const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
        return !s.empty() && ec == std::errc() && end == s.data() + s.size();
    };
    if (!number(text.substr(0, dots), rows.from) || !number(text.substr(dots + 2), rows.to) ||
        rows.from > rows.to)
        return std::nullopt;
    return rows;
}

namespace {

std::string quoted(const std::string& name) { return cp("«") + name + cp("»"); }

// A value inside a file name (Windows-1251) must not lead elsewhere, nor hold
// a character no file name shows.
std::string fileNameSafe(std::string value) {
    for (char& c : value)
        if (static_cast<unsigned char>(c) < 32 ||
            static_cast<unsigned char>(c) == win1251::kForeign ||
            std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos)
            c = '_';
    return value;
}

}  // namespace

PlateBatch::PlateBatch(std::string_view projectBytes, PlateRows rows, std::string outPattern)
    : project_(DecodeProjectBytes(projectBytes)),
      text_(project_),
      pattern_(outPattern),
      rows_(std::move(rows)) {
    EventPump none;
    ParseProjectText(project_, none);  // a file that is no project stops here
    if (count() == 0)
        throw BatchError(rows_.table ? cp("В таблице нет ни одной строки с данными")
                                     : cp("Ряд номеров пуст"));
    const auto check = [&](const PlateText& text, bool utf8) {
        for (const std::string& name : text.names()) {
            const std::string own = utf8 ? win1251::fromUtf8(name) : name;
            if (name == "N" || (rows_.table && rows_.table->column(own) != std::string::npos))
                continue;
            throw BatchError(rows_.table ? cp("В таблице нет столбца ") + quoted(own)
                                         : cp("Поле ") + quoted(own) +
                                               cp(" берётся из таблицы, а задан ряд номеров"));
        }
    };
    check(text_, false);
    check(pattern_, true);
    if (!outPattern.empty() && !pattern_.hasFields() && count() > 1)
        throw BatchError(
            cp("В шаблоне имени файла нет поля ({N} или столбца таблицы): все "
               "пластины легли бы в один файл"));
}

std::size_t PlateBatch::count() const {
    if (rows_.table) return rows_.table->rows.size();
    return rows_.from > rows_.to ? 0 : static_cast<std::size_t>(rows_.to - rows_.from + 1);
}

std::string PlateBatch::label(std::size_t i) const {
    if (rows_.table) return cp("Строка ") + std::to_string(rows_.table->rows[i].number);
    return cp("Номер ") + std::to_string(number(i));
}

unsigned long long PlateBatch::number(std::size_t i) const {
    return rows_.table ? i + 1 : rows_.from + i;
}

PlateText::Lookup PlateBatch::lookup(std::size_t i, bool utf8) const {
    return [this, i, utf8](const std::string& name) -> std::optional<std::string> {
        if (!rows_.table) return std::nullopt;
        const std::size_t column = rows_.table->column(utf8 ? win1251::fromUtf8(name) : name);
        const std::vector<std::string>& cells = rows_.table->rows[i].cells;
        if (column >= cells.size()) return std::nullopt;
        return utf8 ? win1251::toUtf8(fileNameSafe(cells[column])) : cells[column];
    };
}

LayoutResult PlateBatch::layOut(std::size_t i, const std::string& font,
                                const MachiningSettings& settings, MoveTexts texts) const {
    std::string filled;
    try {
        filled = text_.fill(number(i), rows_.table.has_value(), lookup(i, false));
    } catch (const MissingValueError& e) {
        throw PlateError(label(i) + ": " + e.message());
    }
    EventPump none;
    LayoutResult layout = LayOutProject(ParseProjectText(filled, none), font, settings, texts);
    if (!layout.messages.empty()) {
        std::string message = layout.messages.front();
        if (!message.empty()) message[0] = win1251::toLower(message[0]);
        throw PlateError(label(i) + ": " + message);
    }
    return layout;
}

std::string PlateBatch::filePath(std::size_t i) const {
    try {
        return pattern_.fill(number(i), rows_.table.has_value(), lookup(i, true));
    } catch (const MissingValueError& e) {
        throw PlateError(label(i) + cp(": имя файла: ") + e.message());
    }
}

std::size_t BatchReport::written() const {
    return static_cast<std::size_t>(std::count_if(
        plates.begin(), plates.end(), [](const PlateOutcome& p) { return !p.path.empty(); }));
}

BatchReport WritePlateFiles(
    const PlateBatch& batch, const std::string& font, const MachiningSettings& settings,
    const ProgramBuilder& build,
    const std::function<bool(std::size_t done, const PlateOutcome& outcome)>& progress) {
    BatchReport report;
    std::map<std::string, std::size_t> taken;  // file path: the plate that wrote it
    for (std::size_t i = 0; i < batch.count(); ++i) {
        PlateOutcome outcome;
        try {
            const std::string path = batch.filePath(i);
            if (const auto earlier = taken.find(path); earlier != taken.end())
                throw PlateError(batch.label(i) + cp(": файл ") + win1251::fromUtf8(path) +
                                 cp(" уже занят (") + batch.label(earlier->second) + ")");
            const LayoutResult layout = batch.layOut(i, font, settings, MoveTexts::Skip);
            WriteGCodeFile(path, build(*layout.points));
            taken.emplace(path, i);
            outcome.path = path;
        } catch (const PlateError& e) {
            outcome.message = e.message();
        } catch (const VezorError& e) {
            outcome.message = batch.label(i) + ": " + e.message();
        }
        report.plates.push_back(outcome);
        if (progress && !progress(i + 1, report.plates.back())) {
            report.cancelled = i + 1 < batch.count();
            break;
        }
    }
    return report;
}

LayoutResult LayOutPlateGrid(const PlateBatch& batch, std::size_t columns, double pitchX,
                             double pitchY, const std::string& font,
                             const MachiningSettings& settings, MoveTexts texts,
                             std::vector<std::string>& skipped) {
    LayoutResult grid;
    grid.points = std::make_shared<PenPoints>();
    PenPoints& out = *grid.points;
    columns = std::max<std::size_t>(columns, 1);
    const char separator = numtext::decimalSeparator();
    std::size_t placed = 0;
    double fieldWidth = 0;
    for (std::size_t i = 0; i < batch.count(); ++i) {
        LayoutResult plate;
        try {
            plate = batch.layOut(i, font, settings, texts);
        } catch (const PlateError& e) {
            skipped.push_back(e.message());
            continue;
        }
        fieldWidth = std::max(fieldWidth, plate.bounds.MaxX);
        const double dx = static_cast<double>(placed % columns) * pitchX;
        // NOLINTNEXTLINE(bugprone-integer-division): the whole row
        const double dy = static_cast<double>(placed / columns) * pitchY;
        ++placed;
        const PenPoints& points = *plate.points;
        for (std::size_t k = 2; k <= points.count(); ++k) {
            PenPoint p = points[k];
            const bool lift = p.X == 0 && p.Y == 0;
            // One plate's last lift serves as the next one's first.
            if (lift && out.count() > 1 && out[out.count()].Z > 0) continue;
            if (!lift) {
                p.X = movenumber::roundHundredths(p.X + dx);
                p.Y = movenumber::roundHundredths(p.Y - dy);
            }
            if (texts == MoveTexts::Build)
                out.appendMove(p, separator);
            else
                out.append(p, {});
        }
    }
    const std::size_t rows = placed == 0 ? 0 : (placed + columns - 1) / columns;
    const std::size_t across = std::min(placed, columns);
    const double width = fieldWidth + static_cast<double>(across == 0 ? 0 : across - 1) * pitchX;
    const double height = fieldWidth + static_cast<double>(rows == 0 ? 0 : rows - 1) * pitchY;
    const double side = std::max(width, height);
    grid.bounds = ViewBounds{0, -side, side, 0};
    return grid;
}
