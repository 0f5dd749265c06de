#include "main/PlateExport.h"

#include <algorithm>

#include "lib/NumberText.h"

namespace {

bool isLift(const PenPoint& p) { return p.Z > 0; }
bool isDrawingPoint(const PenPoint& p) { return p.X != 0 && p.Y != 0 && p.Z == 0; }

std::string number(double v) { return numtext::shortest(v + 0.0, '.'); }

MmRect around(const MmRect& box, const MmPoint& p) {
    return {std::min(box.MinX, p.X), std::min(box.MinY, p.Y), std::max(box.MaxX, p.X),
            std::max(box.MaxY, p.Y)};
}

}  // namespace

PlatePaths PathsOfPlate(const PenPoints& points, const ViewBounds& field) {
    PlatePaths paths;
    paths.extent = {std::min(field.MinX, 0.0), std::min(field.MinY, 0.0), std::max(field.MaxX, 0.0),
                    std::max(field.MaxY, 0.0)};
    MmPoint at;
    bool down = false;
    for (std::size_t i = 2; i <= points.count(); ++i) {
        const PenPoint& p = points[i];
        if (isLift(p)) {
            down = false;
            continue;
        }
        if (!isDrawingPoint(p)) continue;
        const MmPoint q{p.X, p.Y};
        if (!down) {
            paths.travel.emplace_back(at, q);
            paths.writing.emplace_back();
            down = true;
        }
        paths.writing.back().push_back(q);
        paths.extent = around(paths.extent, q);
        at = q;
    }
    return paths;
}

std::string PlateSvg(const PlatePaths& paths, double lineWidth) {
    const MmRect& e = paths.extent;
    const double width = e.MaxX - e.MinX;
    const double height = e.MaxY - e.MinY;
    std::string svg =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\"\n"
        "     xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\"\n"
        "     width=\"" +
        number(width) + "mm\" height=\"" + number(height) + "mm\" viewBox=\"" + number(e.MinX) +
        " " + number(-e.MaxY) + " " + number(width) + " " + number(height) + "\">\n";
    // SVG's Y grows downward: the plate's Y is turned over.
    const auto point = [](const MmPoint& p) { return number(p.X) + " " + number(-p.Y); };
    svg +=
        "  <g inkscape:groupmode=\"layer\" id=\"writing\" inkscape:label=\"Письмо\"\n"
        "     style=\"fill:none;stroke:#000000;stroke-width:" +
        number(lineWidth) + ";stroke-linecap:round;stroke-linejoin:round\">\n";
    for (const auto& stroke : paths.writing) {
        svg += "    <path d=\"M " + point(stroke.front());
        // One point alone is a dot: a line of no length, drawn by its round caps.
        for (std::size_t k = stroke.size() == 1 ? 0 : 1; k < stroke.size(); ++k)
            svg += " L " + point(stroke[k]);
        svg += "\"/>\n";
    }
    svg +=
        "  </g>\n"
        "  <g inkscape:groupmode=\"layer\" id=\"travel\" inkscape:label=\"Холостой ход\"\n"
        "     style=\"display:none;fill:none;stroke:#00a000;stroke-width:0.1\">\n";
    for (const auto& [from, to] : paths.travel)
        svg += "    <path d=\"M " + point(from) + " L " + point(to) + "\"/>\n";
    svg += "  </g>\n</svg>\n";
    return svg;
}

std::string PlateDxf(const PlatePaths& paths) {
    std::string dxf;
    const auto pair = [&](int code, const std::string& value) {
        dxf += std::to_string(code) + "\r\n" + value + "\r\n";
    };
    const auto at = [&](const MmPoint& p) {
        pair(10, number(p.X));
        pair(20, number(p.Y));
        pair(30, "0");
    };
    const MmRect& e = paths.extent;
    pair(0, "SECTION");
    pair(2, "HEADER");
    pair(9, "$ACADVER");
    pair(1, "AC1009");
    pair(9, "$INSUNITS");  // millimetres
    pair(70, "4");
    pair(9, "$MEASUREMENT");  // metric
    pair(70, "1");
    pair(9, "$EXTMIN");
    at({e.MinX, e.MinY});
    pair(9, "$EXTMAX");
    at({e.MaxX, e.MaxY});
    pair(0, "ENDSEC");
    pair(0, "SECTION");
    pair(2, "TABLES");
    pair(0, "TABLE");
    pair(2, "LTYPE");
    pair(70, "1");
    pair(0, "LTYPE");
    pair(2, "CONTINUOUS");
    pair(70, "0");
    pair(3, "Solid line");
    pair(72, "65");
    pair(73, "0");
    pair(40, "0");
    pair(0, "ENDTAB");
    pair(0, "TABLE");
    pair(2, "LAYER");
    pair(70, "2");
    // A negative colour number switches a layer off.
    for (const auto& [name, colour] : {std::pair{"WRITING", "7"}, std::pair{"TRAVEL", "-3"}}) {
        pair(0, "LAYER");
        pair(2, name);
        pair(70, "0");
        pair(62, colour);
        pair(6, "CONTINUOUS");
    }
    pair(0, "ENDTAB");
    pair(0, "ENDSEC");
    pair(0, "SECTION");
    pair(2, "ENTITIES");
    for (const auto& stroke : paths.writing) {
        if (stroke.size() == 1) {
            pair(0, "POINT");
            pair(8, "WRITING");
            at(stroke.front());
            continue;
        }
        pair(0, "POLYLINE");
        pair(8, "WRITING");
        pair(66, "1");
        pair(70, "0");
        at({0, 0});
        for (const MmPoint& p : stroke) {
            pair(0, "VERTEX");
            pair(8, "WRITING");
            at(p);
        }
        pair(0, "SEQEND");
        pair(8, "WRITING");
    }
    for (const auto& [from, to] : paths.travel) {
        pair(0, "LINE");
        pair(8, "TRAVEL");
        at(from);
        pair(11, number(to.X));
        pair(21, number(to.Y));
        pair(31, "0");
    }
    pair(0, "ENDSEC");
    pair(0, "EOF");
    return dxf;
}
