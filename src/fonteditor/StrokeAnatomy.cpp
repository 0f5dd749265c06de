#include "fonteditor/StrokeAnatomy.h"

#include <cmath>
#include <cstdint>
#include <tuple>
#include <unordered_set>

#include "font/FontStorage.h"

namespace strokeanatomy {
namespace {

// Letter files keep hundredths, so two ends that are the same point in the
// file are the same here.
std::int64_t hundredths(double v) { return std::llround(v * 100); }

// The piece between two points, whichever way it is drawn.
struct PieceKey {
    std::int64_t ax, ay, bx, by;
    bool operator==(const PieceKey&) const = default;
};

PieceKey keyOf(letteredit::Point a, letteredit::Point b) {
    PieceKey k{hundredths(a.x), hundredths(a.y), hundredths(b.x), hundredths(b.y)};
    if (std::tie(k.bx, k.by) < std::tie(k.ax, k.ay)) {
        std::swap(k.ax, k.bx);
        std::swap(k.ay, k.by);
    }
    return k;
}

struct PieceHash {
    std::size_t operator()(const PieceKey& k) const {
        std::uint64_t h = 1469598103934665603ull;
        for (std::int64_t v : {k.ax, k.ay, k.bx, k.by})
            h = (h ^ static_cast<std::uint64_t>(v)) * 1099511628211ull;
        return static_cast<std::size_t>(h);
    }
};

}  // namespace

Anatomy analyse(const std::vector<std::string>& lines) {
    Anatomy a;
    a.points.reserve(lines.size());
    std::vector<bool> isBreak(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        double x = 0;
        double y = 0;
        const bool comma = ParsePointLine(lines[i], x, y);
        a.points.push_back({static_cast<float>(x), static_cast<float>(y)});
        // As IsStrokeBreak has it, without reading the line twice.
        isBreak[i] = comma && x == 0 && y == 0 && i > 0 && i + 1 < lines.size();
    }

    std::unordered_set<PieceKey, PieceHash> drawn;
    drawn.reserve(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const letteredit::Point p = a.points[i];
        if (!(p.x > 0 && p.y > 0) || isBreak[i]) continue;
        a.marked.push_back(i);
        if (i + 1 >= lines.size()) continue;
        std::size_t next = i + 1;
        bool joins = false;
        while (next < lines.size() && isBreak[next]) {
            joins = true;
            ++next;
        }
        if (next >= lines.size()) continue;
        const letteredit::Point q = a.points[next];
        const bool still = hundredths(p.x) == hundredths(q.x) && hundredths(p.y) == hundredths(q.y);
        SegmentKind kind = SegmentKind::Ink;
        if (joins)
            kind = SegmentKind::Join;
        else if (!still && !drawn.insert(keyOf(p, q)).second)
            kind = SegmentKind::Retrace;
        a.segments.push_back({i, next, kind});
    }
    if (!a.marked.empty()) {
        a.start = a.marked.front();
        a.end = a.marked.back();
    }
    return a;
}

letteredit::Drawing drawingOf(const Anatomy& a) {
    letteredit::Drawing d;
    d.marks.reserve(a.marked.size());
    for (std::size_t i : a.marked) d.marks.push_back(a.points[i]);
    for (const Segment& s : a.segments)
        if (s.kind != SegmentKind::Join) d.lines.push_back({a.points[s.from], a.points[s.to]});
    return d;
}

}  // namespace strokeanatomy
