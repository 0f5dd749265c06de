#include "main/PreviewScene.h"

#include <algorithm>
#include <cmath>

#include "gcode/ToolMoves.h"

namespace {

std::uint32_t wordOf(PreviewColour colour) {
    const PreviewRgb rgb = rgbOf(colour);
    return 0xff000000u | static_cast<std::uint32_t>(rgb.r) << 16 |
           static_cast<std::uint32_t>(rgb.g) << 8 | static_cast<std::uint32_t>(rgb.b);
}

struct Pixel {
    int x = 0;
    int y = 0;
    bool operator==(const Pixel&) const = default;
};

int roundPixel(double v) { return static_cast<int>(std::floor(v + 0.5)); }

// How far an arc's chords may stray from it, in pixels.
constexpr double kArcPixels = 0.3;

// roundPixel without the library call, for values in view (above -16).
int nearPixel(double v) { return static_cast<int>(v + 16.5) - 16; }

class Plotter {
  public:
    explicit Plotter(PixelBuffer& target) : t_(target) {}

    void dot(Pixel p, std::uint32_t word) {
        if (p.x >= 0 && p.y >= 0 && p.x < t_.width && p.y < t_.height)
            t_.bits[p.y * t_.stride + p.x] = word;
    }

    // Bresenham; the ends were clipped to a margin around the buffer.
    void line(Pixel a, Pixel b, std::uint32_t word) {
        const int dx = std::abs(b.x - a.x);
        const int dy = -std::abs(b.y - a.y);
        const int sx = a.x < b.x ? 1 : -1;
        const int sy = a.y < b.y ? 1 : -1;
        int err = dx + dy;
        for (;;) {
            dot(a, word);
            if (a == b) return;
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                a.x += sx;
            }
            if (e2 <= dx) {
                err += dx;
                a.y += sy;
            }
        }
    }

    void segment(Pixel a, Pixel b, std::uint32_t word) {
        if (holds(a) && holds(b))
            lineInside(a, b, word);
        else
            line(a, b, word);
    }

    bool holds(Pixel p) const { return p.x >= 0 && p.y >= 0 && p.x < t_.width && p.y < t_.height; }

    // The same for ends inside the buffer: every pixel between is too, so none
    // is checked. Most moves of a large file take this way.
    void lineInside(Pixel a, Pixel b, std::uint32_t word) {
        const int adx = std::abs(b.x - a.x);
        const int ady = std::abs(b.y - a.y);
        const std::ptrdiff_t stepX = b.x >= a.x ? 1 : -1;
        const std::ptrdiff_t stepY = b.y >= a.y ? t_.stride : -t_.stride;
        std::uint32_t* p = t_.bits + a.y * t_.stride + a.x;
        const int major = std::max(adx, ady);
        const int minor = std::min(adx, ady);
        const std::ptrdiff_t majorStep = adx >= ady ? stepX : stepY;
        const std::ptrdiff_t minorStep = adx >= ady ? stepY : stepX;
        int err = major / 2;
        for (int i = 0; i < major; ++i) {
            *p = word;
            err -= minor;
            // Without a branch: whether the minor axis steps is as good as random.
            const int carry = err >> 31;
            err += major & carry;
            p += majorStep + (minorStep & carry);
        }
        *p = word;
    }

    // A line `radius` pixels either side of a to b with round ends: the
    // writing as wide as the tool leaves it.
    void thickSegment(Pixel a, Pixel b, double radius, std::uint32_t word) {
        disc(a, radius, word);
        if (a == b) return;
        disc(b, radius, word);
        const double dx = b.x - a.x;
        const double dy = b.y - a.y;
        const double length = std::hypot(dx, dy);
        const double nx = -dy / length * radius;
        const double ny = dx / length * radius;
        const double xs[4] = {a.x + nx, b.x + nx, b.x - nx, a.x - nx};
        const double ys[4] = {a.y + ny, b.y + ny, b.y - ny, a.y - ny};
        const int top =
            std::max(0, static_cast<int>(std::ceil(std::min({ys[0], ys[1], ys[2], ys[3]}))));
        const int bottom = std::min(
            t_.height - 1, static_cast<int>(std::floor(std::max({ys[0], ys[1], ys[2], ys[3]}))));
        for (int y = top; y <= bottom; ++y) {
            double left = 1e18;
            double right = -1e18;
            for (int e = 0; e < 4; ++e) {
                const double y1 = ys[e];
                const double y2 = ys[(e + 1) % 4];
                if ((y < std::min(y1, y2)) || (y > std::max(y1, y2))) continue;
                const double x1 = xs[e];
                const double x2 = xs[(e + 1) % 4];
                const double x = y1 == y2 ? x1 : x1 + (x2 - x1) * (y - y1) / (y2 - y1);
                const double other = y1 == y2 ? x2 : x;
                left = std::min({left, x, other});
                right = std::max({right, x, other});
            }
            span(y, left, right, word);
        }
    }

  private:
    void disc(Pixel c, double radius, std::uint32_t word) {
        const int reach = static_cast<int>(radius);
        for (int dy = -reach; dy <= reach; ++dy) {
            const int y = c.y + dy;
            if (y < 0 || y >= t_.height) continue;
            const double half = std::sqrt(radius * radius - dy * dy);
            span(y, c.x - half, c.x + half, word);
        }
    }

    void span(int y, double left, double right, std::uint32_t word) {
        const int from = std::max(0, static_cast<int>(std::ceil(left - 1e-9)));
        const int to = std::min(t_.width - 1, static_cast<int>(std::floor(right + 1e-9)));
        std::uint32_t* row = t_.bits + y * t_.stride;
        for (int x = from; x <= to; ++x) row[x] = word;
    }

    PixelBuffer& t_;
};

double distanceToSegment(MmPoint p, MmPoint a, MmPoint b) {
    const double dx = b.X - a.X;
    const double dy = b.Y - a.Y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((p.X - a.X) * dx + (p.Y - a.Y) * dy) / length2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.X - (a.X + t * dx), p.Y - (a.Y + t * dy));
}

MmRect boxOf(MmPoint a, MmPoint b) {
    return {std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X), std::max(a.Y, b.Y)};
}

}  // namespace

bool clipSegment(double& x1, double& y1, double& x2, double& y2, double minX, double minY,
                 double maxX, double maxY) {
    double t0 = 0;
    double t1 = 1;
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - minX, maxX - x1, y1 - minY, maxY - y1};
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0) {
            if (q[k] < 0) return false;
            continue;
        }
        const double t = q[k] / p[k];
        if (p[k] < 0) {
            if (t > t1) return false;
            if (t > t0) t0 = t;
        } else {
            if (t < t0) return false;
            if (t < t1) t1 = t;
        }
    }
    if (t1 < 1) {
        x2 = x1 + t1 * dx;
        y2 = y1 + t1 * dy;
    }
    if (t0 > 0) {
        x1 = x1 + t0 * dx;
        y1 = y1 + t0 * dy;
    }
    return true;
}

PreviewScene::PreviewScene(const PenPoints& points, DrawingMode drawMode, EventPump& pump) {
    struct Collect final : PreviewSink {
        PreviewScene& scene;
        explicit Collect(PreviewScene& s) : scene(s) {}
        void segment(const PreviewSegment& s) override {
            scene.ends_.push_back({s.X2, s.Y2});
            scene.colours_.push_back(s.Colour);
            scene.records_.push_back(s.Record);
        }
    } sink(*this);
    ends_.reserve(points.count());
    colours_.reserve(points.count());
    records_.reserve(points.count());
    if (points.moves())
        addInterpretedMoves(points, pump);
    else
        walkPreview(points, points.count(), drawMode, sink, pump);

    blocks_.reserve(ends_.size() / kBlock + 1);
    for (std::size_t first = 0; first < ends_.size(); first += kBlock) {
        const std::size_t last = std::min(first + kBlock, ends_.size());
        MmRect box = boxOf(startOf(first), ends_[first]);
        for (std::size_t k = first + 1; k < last; ++k) box = box.united(boxOf(ends_[k], ends_[k]));
        blocks_.push_back({box});
    }
    for (Arc& arc : arcs_) {
        const MmPoint a = startOf(arc.segment);
        const MmPoint b = ends_[arc.segment];
        const XyBox box = ArcXyBox({a.X, a.Y, arc.fromZ}, {b.X, b.Y, arc.toZ}, arc.shape);
        arc.box = {box.MinX, box.MinY, box.MaxX, box.MaxY};
        Block& block = blocks_[arc.segment / kBlock];
        block.box = block.box.united(arc.box);
        block.arcs = true;
    }
}

void PreviewScene::addInterpretedMoves(const PenPoints& points, EventPump& pump) {
    const ToolMoves& moves = *points.moves();
    moves.forEachMove(
        points, 1, points.count(),
        [&](std::size_t record, const PathPoint& from, const ToolMove& move) {
            if (move.arc >= 0)
                arcs_.push_back({ends_.size(), moves.arcs()[static_cast<std::size_t>(move.arc)],
                                 from.Z, move.end.Z, MmRect{}});
            ends_.push_back({move.end.X, move.end.Y});
            colours_.push_back(move.cut() ? PreviewColour::Red : PreviewColour::Green);
            records_.push_back(record);
            pump.tick();
        });
}

const PreviewScene::Arc* PreviewScene::arcOf(std::size_t segment) const {
    const auto it = std::lower_bound(arcs_.begin(), arcs_.end(), segment,
                                     [](const Arc& a, std::size_t s) { return a.segment < s; });
    return it != arcs_.end() && it->segment == segment ? &*it : nullptr;
}

template <typename F>
void PreviewScene::forEachChordEnd(const Arc& arc, double tolerance, F&& f) const {
    const MmPoint a = startOf(arc.segment);
    const MmPoint b = ends_[arc.segment];
    const PathPoint from{a.X, a.Y, arc.fromZ};
    const PathPoint to{b.X, b.Y, arc.toZ};
    const std::size_t chords = ArcChords(from, to, arc.shape, tolerance);
    const ArcTracer tracer(from, to, arc.shape);
    for (std::size_t i = 1; i < chords; ++i) {
        const PathPoint p = tracer.at(static_cast<double>(i) / static_cast<double>(chords));
        f(MmPoint{p.X, p.Y});
    }
    f(b);
}

std::size_t PreviewScene::segmentsUpTo(std::size_t recordLimit) const {
    return static_cast<std::size_t>(
        std::upper_bound(records_.begin(), records_.end(), recordLimit) - records_.begin());
}

std::optional<MmRect> PreviewScene::extent() const {
    if (blocks_.empty()) return std::nullopt;
    MmRect box = blocks_.front().box;
    for (const Block& b : blocks_) box = box.united(b.box);
    return box;
}

std::optional<PreviewSegment> PreviewScene::segmentOf(std::size_t record) const {
    const auto it = std::lower_bound(records_.begin(), records_.end(), record);
    if (it == records_.end() || *it != record) return std::nullopt;
    const std::size_t k = static_cast<std::size_t>(it - records_.begin());
    const MmPoint a = startOf(k);
    return PreviewSegment{a.X, a.Y, ends_[k].X, ends_[k].Y, colours_[k], record};
}

std::vector<MmPoint> PreviewScene::pathOf(std::size_t record, double tolerance) const {
    const auto first = std::lower_bound(records_.begin(), records_.end(), record);
    const auto last = std::upper_bound(first, records_.end(), record);
    std::vector<MmPoint> path;
    if (first == last) return path;
    const auto k0 = static_cast<std::size_t>(first - records_.begin());
    const auto k1 = static_cast<std::size_t>(last - records_.begin());
    path.push_back(startOf(k0));
    for (std::size_t k = k0; k < k1; ++k) {
        if (const Arc* arc = arcOf(k))
            forEachChordEnd(*arc, tolerance, [&path](MmPoint p) { path.push_back(p); });
        else
            path.push_back(ends_[k]);
    }
    return path;
}

std::optional<std::size_t> PreviewScene::recordNear(MmPoint point, double tolerance,
                                                    std::size_t count) const {
    count = std::min(count, size());
    const MmRect reach{point.X - tolerance, point.Y - tolerance, point.X + tolerance,
                       point.Y + tolerance};
    std::optional<std::size_t> best;
    double bestDistance = tolerance;
    for (std::size_t b = 0; b * kBlock < count; ++b) {
        if (!blocks_[b].box.intersects(reach)) continue;
        const std::size_t last = std::min(count, (b + 1) * kBlock);
        for (std::size_t k = b * kBlock; k < last; ++k) {
            double d = 0;
            const Arc* arc = blocks_[b].arcs ? arcOf(k) : nullptr;
            if (arc == nullptr) {
                d = distanceToSegment(point, startOf(k), ends_[k]);
            } else {
                if (!arc->box.intersects(reach)) continue;
                // Chords a quarter of the reach close tell near from far well enough.
                d = bestDistance + 1;
                MmPoint from = startOf(k);
                forEachChordEnd(*arc, tolerance / 4, [&](MmPoint to) {
                    d = std::min(d, distanceToSegment(point, from, to));
                    from = to;
                });
            }
            if (d <= bestDistance) {
                bestDistance = d;
                best = records_[k];
            }
        }
    }
    return best;
}

void PreviewScene::render(PixelBuffer& target, const ViewTransform& view, std::size_t count,
                          double writingWidth) const {
    if (target.width <= 0 || target.height <= 0) return;
    count = std::min(count, size());
    Plotter plot(target);
    // Writing is drawn as wide as the tool leaves it once that is more than a
    // pixel and a half; a picture of a whole large file stays one pixel wide.
    const double radius = writingWidth * view.pixelsPerMm() / 2;
    const bool thick = radius >= 0.75;
    // Drawn so, the travel goes first and the writing over it: the picture
    // shows the ink the tool leaves.
    int pass = 0;
    const auto skipped = [&](PreviewColour colour) {
        return thick && (colour == PreviewColour::Red) != (pass == 1);
    };
    const auto draw = [&](Pixel from, Pixel to, PreviewColour colour, std::uint32_t word) {
        if (skipped(colour)) return;
        if (thick && colour == PreviewColour::Red)
            plot.thickSegment(from, to, radius, word);
        else if (from != to)
            plot.segment(from, to, word);
        else
            plot.dot(to, word);
    };
    // A pixel's margin past the edges keeps clipped ends off the border pixels.
    const double onePixel = (1 + (thick ? radius : 0)) / view.pixelsPerMm();
    MmRect shown = view.visible(target.width, target.height);
    shown = {shown.MinX - onePixel, shown.MinY - onePixel, shown.MaxX + onePixel,
             shown.MaxY + onePixel};
    const double maxX = target.width + 1.0;
    const double maxY = target.height + 1.0;

    std::uint32_t words[4];
    for (int c = 0; c < 4; ++c) words[c] = wordOf(static_cast<PreviewColour>(c));

    for (pass = 0; pass < (thick ? 2 : 1); ++pass) {
        Pixel pen;
        bool penDown = false;  // pen is the pixel the last drawn move ended on
        PreviewColour penColour = PreviewColour::Black;
        for (std::size_t b = 0; b * kBlock < count; ++b) {
            const MmRect& box = blocks_[b].box;
            const std::size_t first = b * kBlock;
            const std::size_t last = std::min(count, first + kBlock);
            if (!box.intersects(shown)) {
                penDown = false;
                continue;
            }
            const PixelPoint low = view.toPixel(box.MinX, box.MaxY);
            const PixelPoint high = view.toPixel(box.MaxX, box.MinY);
            const Pixel a{roundPixel(low.x), roundPixel(low.y)};
            if (a == Pixel{roundPixel(high.x), roundPixel(high.y)}) {
                if (!skipped(colours_[last - 1]))
                    plot.dot(a, words[static_cast<int>(colours_[last - 1])]);
                pen = a;
                penDown = true;
                penColour = colours_[last - 1];
                continue;
            }
            if (blocks_[b].arcs) {
                // Arcs in the block: each move, and each chord of an arc, cut to the view.
                PixelPoint next = view.toPixel(startOf(first).X, startOf(first).Y);
                const auto chord = [&](PixelPoint p1, PixelPoint p2, PreviewColour colour) {
                    if (!clipSegment(p1.x, p1.y, p2.x, p2.y, -2.0, -2.0, maxX, maxY)) {
                        penDown = false;
                        return;
                    }
                    const Pixel from{roundPixel(p1.x), roundPixel(p1.y)};
                    const Pixel to{roundPixel(p2.x), roundPixel(p2.y)};
                    if (from != to || !(penDown && pen == to && penColour == colour))
                        draw(from, to, colour, words[static_cast<int>(colour)]);
                    pen = to;
                    penDown = true;
                    penColour = colour;
                };
                for (std::size_t k = first; k < last; ++k) {
                    const PixelPoint start = next;
                    next = view.toPixel(ends_[k].X, ends_[k].Y);
                    const Arc* arc = arcOf(k);
                    if (arc == nullptr) {
                        chord(start, next, colours_[k]);
                        continue;
                    }
                    if (!arc->box.intersects(shown)) {
                        penDown = false;
                        continue;
                    }
                    PixelPoint from = start;
                    forEachChordEnd(*arc, kArcPixels / view.pixelsPerMm(), [&](MmPoint p) {
                        const PixelPoint to = view.toPixel(p.X, p.Y);
                        chord(from, to, colours_[k]);
                        from = to;
                    });
                }
                continue;
            }
            if (box.MinX >= shown.MinX && box.MaxX <= shown.MaxX && box.MinY >= shown.MinY &&
                box.MaxY <= shown.MaxY) {
                // The usual case, and the one that costs: the whole block in view,
                // nothing to cut, each end mapped once.
                const MmPoint s = startOf(first);
                const PixelPoint p = view.toPixel(s.X, s.Y);
                Pixel from{nearPixel(p.x), nearPixel(p.y)};
                for (std::size_t k = first; k < last; ++k) {
                    const PixelPoint q = view.toPixel(ends_[k].X, ends_[k].Y);
                    const Pixel to{nearPixel(q.x), nearPixel(q.y)};
                    const PreviewColour colour = colours_[k];
                    if (from != to || !(penDown && pen == to && penColour == colour))
                        draw(from, to, colour, words[static_cast<int>(colour)]);
                    pen = from = to;
                    penDown = true;
                    penColour = colour;
                }
                continue;
            }
            const MmPoint s = startOf(first);
            PixelPoint next = view.toPixel(s.X, s.Y);
            for (std::size_t k = first; k < last; ++k) {
                PixelPoint p1 = next;
                PixelPoint p2 = view.toPixel(ends_[k].X, ends_[k].Y);
                next = p2;
                const auto in = [&](const PixelPoint& p) {
                    return p.x >= -2 && p.x <= maxX && p.y >= -2 && p.y <= maxY;
                };
                if (!in(p1) || !in(p2)) {
                    const bool away = (p1.x < -2 && p2.x < -2) || (p1.x > maxX && p2.x > maxX) ||
                                      (p1.y < -2 && p2.y < -2) || (p1.y > maxY && p2.y > maxY);
                    if (away || !clipSegment(p1.x, p1.y, p2.x, p2.y, -2.0, -2.0, maxX, maxY)) {
                        penDown = false;
                        continue;
                    }
                }
                const Pixel from{roundPixel(p1.x), roundPixel(p1.y)};
                const Pixel to{roundPixel(p2.x), roundPixel(p2.y)};
                const PreviewColour colour = colours_[k];
                if (from != to || !(penDown && pen == to && penColour == colour))
                    draw(from, to, colour, words[static_cast<int>(colour)]);
                pen = to;
                penDown = true;
                penColour = colour;
            }
        }
    }
}
