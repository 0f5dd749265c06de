#include "FontSheet.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <stdexcept>

#include "lib/Win1251.h"
#include "main/Layout.h"

namespace fontc {
namespace {

constexpr int kColumns = 16;
constexpr double kCellUnits = 120;  // letter units per grid cell
constexpr double kPixelsPerUnit = 0.9;
constexpr int kLabelHeight = 16;

// The sample is laid out with the parameters of a new project's template.
constexpr double kLineSpacing = 4.97;
constexpr double kLetterHeight = 4.4;
constexpr double kWidthFactor = 0.75;
constexpr double kSamplePixelsPerMm = 12;

void save(const QImage& image, const std::string& pngPath) {
    if (!image.save(QString::fromStdString(pngPath), "PNG"))
        throw std::runtime_error("cannot write " + pngPath);
}

QPointF at(Point p, double x0, double y0, double scale, double widthFactor = 1) {
    return {x0 + p.x * scale * widthFactor, y0 + p.y * scale};
}

void drawLetter(QPainter& painter, const CompiledLetter& letter, double x0, double y0, double k) {
    const auto& s = letter.stroke;
    const auto pen = [](QColor color, double width) {
        QPen p(color, width);
        p.setCapStyle(Qt::RoundCap);
        p.setJoinStyle(Qt::RoundJoin);
        return p;
    };
    for (std::size_t i = 0; i + 1 < s.points.size(); ++i)
        if (s.kinds[i] == SegmentKind::Retrace && !s.airborne[i]) {
            painter.setPen(pen(QColor(120, 160, 255), 5));
            painter.drawLine(at(s.points[i], x0, y0, k), at(s.points[i + 1], x0, y0, k));
        }
    // A piece behind a break mark is ink only while breaks are off: dashed, in a second colour.
    QPen breakPen = pen(QColor(255, 140, 0), 1.2);
    breakPen.setStyle(Qt::DashLine);
    for (std::size_t i = 0; i + 1 < s.points.size(); ++i) {
        painter.setPen(s.airborne[i] ? breakPen : pen(Qt::black, 1.6));
        painter.drawLine(at(s.points[i], x0, y0, k), at(s.points[i + 1], x0, y0, k));
    }
    if (s.points.empty()) return;
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 170, 0));
    painter.drawEllipse(at(s.points.front(), x0, y0, k), 3, 3);
    painter.setBrush(QColor(220, 0, 0));
    painter.drawEllipse(at(s.points.back(), x0, y0, k), 2, 2);
    painter.setBrush(Qt::NoBrush);
}

}  // namespace

void renderFontSheet(const CompiledFont& font, const std::string& fontFolder,
                     const std::vector<std::string>& allSamples, const std::string& pngPath) {
    // The sample lines the font can write in full, laid out by the program's own layout.
    Project project;
    project.LineSpacing = kLineSpacing;
    project.FieldWidth = 100;
    project.LetterHeight = kLetterHeight;
    project.WidthFactor = kWidthFactor;
    for (const std::string& line : allSamples) {
        const std::string text = win1251::fromUtf8(line);
        if (std::all_of(text.begin(), text.end(), [&](char c) {
                return c == ' ' || font.letters.contains(static_cast<unsigned char>(c));
            }))
            project.ProjectLines.Add(ProjectLine{text, {}, {}, {}, {}});
    }
    // With the breaks the marks allow, as the letters read on the machine with them on.
    MachiningSettings settings;
    settings.RazrivVBukve = 1;
    const LayoutResult laid = LayOutProject(project, fontFolder, settings);
    const PenPoints& moves = *laid.points;
    double widest = 1;
    for (std::size_t i = 1; i <= moves.count(); ++i) widest = std::max(widest, moves[i].X);

    const int cell = static_cast<int>(kCellUnits * kPixelsPerUnit);
    const int rows = (static_cast<int>(font.letters.size()) + kColumns - 1) / kColumns;
    const int width = kColumns * cell;
    const double mm = std::min(kSamplePixelsPerMm, (width - 16) / widest);
    const int sampleHeight =
        static_cast<int>((project.ProjectLines.Count() + 0.5) * kLineSpacing * mm) + 20;
    QImage image(width, 30 + rows * (cell + kLabelHeight) + sampleHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawText(8, 20, QString::fromStdString(font.folder));

    int index = 0;
    for (const auto& [code, letter] : font.letters) {
        const double x0 = (index % kColumns) * cell + 4;
        // NOLINTNEXTLINE(bugprone-integer-division): the whole row
        const double y0 = 30 + (index / kColumns) * (cell + kLabelHeight) + kLabelHeight;
        ++index;
        painter.setPen(QColor(225, 225, 225));
        painter.drawRect(QRectF(x0, y0, 100 * kPixelsPerUnit, 100 * kPixelsPerUnit));
        painter.setPen(QColor(170, 210, 255));
        painter.drawLine(at({0, font.baseline}, x0, y0, kPixelsPerUnit),
                         at({110, font.baseline}, x0, y0, kPixelsPerUnit));
        painter.setPen(QColor(90, 90, 90));
        painter.drawText(
            QPointF(x0, y0 - 3),
            QString::number(code) + " " +
                QString::fromStdString(win1251::toUtf8(std::string(1, static_cast<char>(code)))));
        drawLetter(painter, letter, x0, y0, kPixelsPerUnit);
    }

    // The tool path: the pen draws from one drawing point to the next until a lift.
    QPen ink(Qt::black, 1.3);
    ink.setCapStyle(Qt::RoundCap);
    ink.setJoinStyle(Qt::RoundJoin);
    painter.setPen(ink);
    const double top = 30 + rows * (cell + kLabelHeight) + 10;
    bool penDown = false;
    QPointF last;
    for (std::size_t i = 2; i <= moves.count(); ++i) {
        const PenPoint& m = moves[i];
        if (m.X == 0 && m.Y == 0) {
            penDown = false;
            continue;
        }
        const QPointF p(8 + m.X * mm, top - m.Y * mm);
        if (penDown) painter.drawLine(last, p);
        last = p;
        penDown = true;
    }
    painter.end();
    save(image, pngPath);
}

void renderGlyphIndex(const std::vector<std::pair<std::string, std::vector<Polyline>>>& glyphs,
                      const std::string& pngPath) {
    Bounds all;
    for (const auto& [label, lines] : glyphs)
        for (const auto& line : lines) all.add(line);
    const int cell = 110;
    const double k = all.empty ? 1 : 90 / std::max(all.maxX - all.minX, all.maxY - all.minY);
    const int rows = (static_cast<int>(glyphs.size()) + kColumns - 1) / kColumns;
    QImage image(kColumns * cell, rows * (cell + kLabelHeight) + 4, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        const double x0 = (i % kColumns) * cell + 6;
        // NOLINTNEXTLINE(bugprone-integer-division): the whole row
        const double y0 = (i / kColumns) * (cell + kLabelHeight) + kLabelHeight;
        painter.setPen(QColor(90, 90, 90));
        painter.drawText(QPointF(x0, y0 - 3), QString::fromStdString(glyphs[i].first));
        painter.setPen(QPen(Qt::black, 1.4));
        for (const auto& line : glyphs[i].second)
            for (std::size_t j = 1; j < line.size(); ++j)
                painter.drawLine(
                    QPointF(x0 + (line[j - 1].x - all.minX) * k,
                            y0 + (all.maxY - line[j - 1].y) * k),
                    QPointF(x0 + (line[j].x - all.minX) * k, y0 + (all.maxY - line[j].y) * k));
    }
    painter.end();
    save(image, pngPath);
}

}  // namespace fontc
