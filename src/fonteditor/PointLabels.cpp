#include "fonteditor/PointLabels.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <unordered_map>

namespace pointlabels {
namespace {

// Boxes kept in square buckets, so a letter of thousands of points is not
// checked box against box.
class BoxGrid {
  public:
    explicit BoxGrid(double cell) : cell_(cell) {}

    bool free(const QRectF& box) const {
        bool clear = true;
        visit(box, [&](std::int64_t key) {
            const auto found = cells_.find(key);
            if (found == cells_.end()) return;
            for (const QRectF& other : found->second)
                if (other.intersects(box)) clear = false;
        });
        return clear;
    }

    // Whether any box kept meeting `area` makes `reject` true.
    template <class F>
    bool any(const QRectF& area, F reject) const {
        bool found = false;
        visit(area, [&](std::int64_t key) {
            const auto cell = cells_.find(key);
            if (cell == cells_.end()) return;
            for (const QRectF& other : cell->second)
                if (other.intersects(area) && reject(other)) found = true;
        });
        return found;
    }

    void add(const QRectF& box) {
        visit(box, [&](std::int64_t key) { cells_[key].push_back(box); });
    }

  private:
    template <class F>
    void visit(const QRectF& box, F f) const {
        const auto lo = [&](double v) { return static_cast<std::int64_t>(std::floor(v / cell_)); };
        for (std::int64_t cy = lo(box.top()); cy <= lo(box.bottom()); ++cy)
            for (std::int64_t cx = lo(box.left()); cx <= lo(box.right()); ++cx)
                f(cy * 1000003 + cx);
    }

    double cell_;
    std::unordered_map<std::int64_t, std::vector<QRectF>> cells_;
};

// The box of a label on the side `d` of the point, its near edges `reach`
// away from the point on each axis the side leans to.
QRectF boxBeside(QPointF p, QPointF d, double reach, QSizeF size) {
    const auto along = [&](double dir, double centre, double extent) {
        return dir > 0.3    ? centre + reach
               : dir < -0.3 ? centre - reach - extent
                            : centre - extent / 2;
    };
    return {QPointF(along(d.x(), p.x(), size.width()), along(d.y(), p.y(), size.height())), size};
}

double distance(QPointF p, const QRectF& box) {
    const double dx = std::max({box.left() - p.x(), 0.0, p.x() - box.right()});
    const double dy = std::max({box.top() - p.y(), 0.0, p.y() - box.bottom()});
    return std::hypot(dx, dy);
}

// Labels keep a little air between them, so two never read as one.
constexpr double kAir = 3;

}  // namespace

std::vector<std::optional<QRectF>> place(const std::vector<Request>& requests, double clearance,
                                         const QRectF& visible) {
    double tallest = 1;
    for (const Request& r : requests) tallest = std::max(tallest, r.size.height());
    BoxGrid labels(std::max(8.0, tallest * 2));
    BoxGrid points(std::max(8.0, tallest * 2));
    for (const Request& r : requests)
        if (visible.contains(r.point))
            points.add(QRectF(r.point - QPointF(clearance, clearance),
                              QSizeF(2 * clearance, 2 * clearance)));

    static const double k = std::sqrt(0.5);
    static const std::array<QPointF, 8> sides = {QPointF(1, 0),   QPointF(k, -k), QPointF(0, -1),
                                                 QPointF(-k, -k), QPointF(-1, 0), QPointF(-k, k),
                                                 QPointF(0, 1),   QPointF(k, k)};
    std::vector<std::optional<QRectF>> placed(requests.size());
    for (std::size_t i = 0; i < requests.size(); ++i) {
        const Request& r = requests[i];
        if (!visible.contains(r.point)) continue;
        std::array<QPointF, 8> order = sides;
        std::stable_sort(order.begin(), order.end(), [&](QPointF a, QPointF b) {
            return QPointF::dotProduct(a, r.away) > QPointF::dotProduct(b, r.away);
        });
        for (QPointF d : order) {
            const QRectF box = boxBeside(r.point, d, clearance + 1, r.size);
            if (!points.free(box) || !labels.free(box.adjusted(-kAir, -kAir, kAir, kAir))) continue;
            // A label nearer to another point than to its own would name that one.
            const double own = distance(r.point, box);
            const QRectF near =
                box.adjusted(-own - clearance, -own - clearance, own + clearance, own + clearance);
            if (points.any(near, [&](const QRectF& other) {
                    return other.center() != r.point && distance(other.center(), box) < own;
                }))
                continue;
            labels.add(box);
            placed[i] = box;
            break;
        }
    }
    return placed;
}

}  // namespace pointlabels
