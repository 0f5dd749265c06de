#include "fontsource/StrokeJoiner.h"

#include <algorithm>
#include <limits>
#include <map>
#include <numeric>
#include <queue>
#include <stdexcept>
#include <tuple>
#include <utility>

namespace fontc {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
// Beyond this many odd vertices the exact pairing (2^n states) gives way to a greedy one.
constexpr int kExactPairingLimit = 20;
// Spanning trees of the parts are tried in full up to this many parts (16
// trees of 4 parts, each connector one of up to 4 candidates); more parts are
// joined by their shortest tree.
constexpr std::size_t kTreeSearchParts = 4;
// How many connector layouts, cheapest first, are routed in full.
constexpr std::size_t kLayoutsRouted = 40;
// Start and end candidates near each target, besides the odd vertices.
constexpr std::size_t kNearTarget = 8;

struct Edge {
    int a = 0;
    int b = 0;
    double length = 0;
    bool connector = false;
};

struct Graph {
    std::vector<Point> vertices;
    std::vector<Edge> edges;

    int vertexAt(Point p, double snap) {
        for (std::size_t i = 0; i < vertices.size(); ++i)
            if (distance(vertices[i], p) <= snap) return static_cast<int>(i);
        vertices.push_back(p);
        return static_cast<int>(vertices.size() - 1);
    }

    void addEdge(int a, int b, bool connector = false) {
        if (a == b) return;
        for (const Edge& e : edges)
            if ((e.a == a && e.b == b) || (e.a == b && e.b == a)) return;
        edges.push_back({a, b, distance(vertices[a], vertices[b]), connector});
    }
};

struct Segment {
    Point a, b;
    std::vector<double> cuts;
};

Graph buildGraph(const std::vector<Polyline>& strokes, double snap) {
    std::vector<Segment> segments;
    std::vector<Point> lonePoints;
    for (const auto& stroke : strokes) {
        bool drawn = false;
        for (std::size_t i = 1; i < stroke.size(); ++i)
            if (distance(stroke[i - 1], stroke[i]) > 1e-9) {
                segments.push_back({stroke[i - 1], stroke[i], {}});
                drawn = true;
            }
        if (!drawn && !stroke.empty()) lonePoints.push_back(stroke.front());
    }

    const auto cutAtTouch = [snap](Segment& s, Point p) {
        const double t = projectOnSegment(p, s.a, s.b);
        const double len = distance(s.a, s.b);
        if (t * len <= snap || (1 - t) * len <= snap) return;
        if (distance(s.a + (s.b - s.a) * t, p) <= snap) s.cuts.push_back(t);
    };
    for (std::size_t i = 0; i < segments.size(); ++i)
        for (std::size_t j = i + 1; j < segments.size(); ++j) {
            Segment& s = segments[i];
            Segment& u = segments[j];
            const Point r = s.b - s.a;
            const Point q = u.b - u.a;
            const double denominator = cross(r, q);
            if (std::abs(denominator) > 1e-9 * length(r) * length(q)) {
                const double t = cross(u.a - s.a, q) / denominator;
                const double v = cross(u.a - s.a, r) / denominator;
                if (t > 0 && t < 1 && v > 0 && v < 1) {
                    s.cuts.push_back(t);
                    u.cuts.push_back(v);
                }
            }
            cutAtTouch(s, u.a);
            cutAtTouch(s, u.b);
            cutAtTouch(u, s.a);
            cutAtTouch(u, s.b);
        }

    Graph g;
    // Stroke ends first, so that a crossing close to an end joins the end and not the reverse.
    for (const auto& s : segments) {
        g.vertexAt(s.a, snap);
        g.vertexAt(s.b, snap);
    }
    for (Point p : lonePoints) g.vertexAt(p, snap);
    for (auto& s : segments) {
        std::sort(s.cuts.begin(), s.cuts.end());
        int previous = g.vertexAt(s.a, snap);
        for (double t : s.cuts) {
            const int here = g.vertexAt(s.a + (s.b - s.a) * t, snap);
            g.addEdge(previous, here);
            previous = here;
        }
        g.addEdge(previous, g.vertexAt(s.b, snap));
    }
    return g;
}

struct UnionFind {
    std::vector<int> parent;
    explicit UnionFind(std::size_t n) : parent(n) { std::iota(parent.begin(), parent.end(), 0); }
    int find(int x) {
        while (parent[x] != x) x = parent[x] = parent[parent[x]];
        return x;
    }
    bool unite(int a, int b) {
        a = find(a);
        b = find(b);
        if (a == b) return false;
        parent[std::max(a, b)] = std::min(a, b);
        return true;
    }
};

// Closest points of the segments a0-a1 and b0-b1, which do not cross.
std::pair<Point, Point> closestOnSegments(Point a0, Point a1, Point b0, Point b1) {
    std::pair<Point, Point> best;
    double bestDistance = kInfinity;
    const auto consider = [&](Point p, Point q) {
        const double d = distance(p, q);
        if (d < bestDistance) {
            bestDistance = d;
            best = {p, q};
        }
    };
    consider(a0 + (a1 - a0) * projectOnSegment(b0, a0, a1), b0);
    consider(a0 + (a1 - a0) * projectOnSegment(b1, a0, a1), b1);
    consider(a0, b0 + (b1 - b0) * projectOnSegment(a0, b0, b1));
    consider(a1, b0 + (b1 - b0) * projectOnSegment(a1, b0, b1));
    return best;
}

// Splits the edge nearest to p at p unless p is close to one of its ends; returns p's vertex.
int vertexOnGraph(Graph& g, const std::vector<int>& component, Point p, double snap) {
    for (int v : component)
        if (distance(g.vertices[v], p) <= snap) return v;
    for (std::size_t i = 0; i < g.edges.size(); ++i) {
        const Edge e = g.edges[i];
        const Point a = g.vertices[e.a];
        const Point b = g.vertices[e.b];
        if (distance(a + (b - a) * projectOnSegment(p, a, b), p) > 1e-7) continue;
        if (std::find(component.begin(), component.end(), e.a) == component.end()) continue;
        g.vertices.push_back(p);
        const int v = static_cast<int>(g.vertices.size() - 1);
        g.edges[i] = {e.a, v, distance(a, p), e.connector};
        g.edges.push_back({v, e.b, distance(p, b), e.connector});
        return v;
    }
    return -1;
}

struct Connector {
    int a = 0;  // vertex in the lower-numbered part
    int b = 0;
    double length = 0;
};

// Distances and the tree of shortest paths from one vertex.
struct PathTree {
    std::vector<double> distance;
    std::vector<int> viaEdge;
};

PathTree shortestPaths(const std::vector<Point>& vertices, const std::vector<Edge>& edges,
                       const std::vector<std::vector<int>>& incident, int source) {
    PathTree tree{std::vector<double>(vertices.size(), kInfinity),
                  std::vector<int>(vertices.size(), -1)};
    using Item = std::pair<double, int>;
    std::priority_queue<Item, std::vector<Item>, std::greater<>> queue;
    tree.distance[source] = 0;
    queue.push({0, source});
    while (!queue.empty()) {
        const auto [d, v] = queue.top();
        queue.pop();
        if (d > tree.distance[v]) continue;
        for (int ei : incident[v]) {
            const Edge& e = edges[ei];
            const int w = e.a == v ? e.b : e.a;
            if (d + e.length < tree.distance[w]) {
                tree.distance[w] = d + e.length;
                tree.viaEdge[w] = ei;
                queue.push({tree.distance[w], w});
            }
        }
    }
    return tree;
}

// Cheapest way to pair up the listed vertices; cost(i, j) by position in the list.
template <typename Cost>
std::vector<std::pair<int, int>> cheapestPairing(int n, Cost cost, double* total,
                                                 bool exact = true) {
    std::vector<std::pair<int, int>> pairs;
    if (n == 0) {
        *total = 0;
        return pairs;
    }
    if (n > kExactPairingLimit || !exact) {
        // Too many to weigh every pairing: the shortest free pair first, then
        // two pairs at a time swapped while that makes the whole cheaper. Taken
        // in list order instead, the pairs would depend on which vertices the
        // list leaves out far more than the cost of leaving them out.
        std::vector<std::tuple<double, int, int>> byCost;
        byCost.reserve(static_cast<std::size_t>(n) * static_cast<std::size_t>(n - 1) / 2);
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j) byCost.emplace_back(cost(i, j), i, j);
        std::sort(byCost.begin(), byCost.end());
        std::vector<bool> used(n, false);
        for (const auto& [c, i, j] : byCost) {
            if (used[i] || used[j]) continue;
            used[i] = used[j] = true;
            pairs.push_back({i, j});
        }
        for (bool better = true; better;) {
            better = false;
            for (std::size_t a = 0; a < pairs.size(); ++a)
                for (std::size_t b = a + 1; b < pairs.size(); ++b) {
                    const auto [p, q] = pairs[a];
                    const auto [r, t] = pairs[b];
                    const double now = cost(p, q) + cost(r, t);
                    const double crossed = cost(p, r) + cost(q, t);
                    const double turned = cost(p, t) + cost(q, r);
                    if (crossed < now - 1e-9 && crossed <= turned) {
                        pairs[a] = {p, r};
                        pairs[b] = {q, t};
                        better = true;
                    } else if (turned < now - 1e-9) {
                        pairs[a] = {p, t};
                        pairs[b] = {q, r};
                        better = true;
                    }
                }
        }
        *total = 0;
        for (const auto& [i, j] : pairs) *total += cost(i, j);
        return pairs;
    }
    const std::size_t states = std::size_t{1} << n;
    std::vector<double> best(states, kInfinity);
    std::vector<int> partner(states, -1);
    best[0] = 0;
    for (std::size_t s = 1; s < states; ++s) {
        if (std::popcount(s) % 2) continue;
        const int i = std::countr_zero(s);
        for (int j = i + 1; j < n; ++j) {
            if (!(s >> j & 1)) continue;
            const double c = cost(i, j) + best[s & ~(std::size_t{1} << i) & ~(std::size_t{1} << j)];
            if (c < best[s]) {
                best[s] = c;
                partner[s] = j;
            }
        }
    }
    *total = best[states - 1];
    for (std::size_t s = states - 1; s;) {
        const int i = std::countr_zero(s);
        const int j = partner[s];
        pairs.push_back({i, j});
        s &= ~(std::size_t{1} << i) & ~(std::size_t{1} << j);
    }
    return pairs;
}

// One way to draw the glyph: its connectors, start, end and the segments drawn twice.
struct Route {
    double cost = kInfinity;
    std::vector<Connector> connectors;
    int start = -1;
    int end = -1;
};

class Router {
  public:
    Router(Graph graph, Point startTarget, Point endTarget, const JoinWeights& weights)
        : g_(std::move(graph)), startTarget_(startTarget), endTarget_(endTarget), w_(weights) {}

    JoinedStroke run(double snap);

  private:
    void findParts();
    std::vector<std::vector<Connector>> connectorLayouts(double snap);
    void prepare(const std::vector<Connector>& connectors);
    Route bestRoute(const std::vector<Connector>& connectors);
    JoinedStroke walk(const Route& route);

    Graph g_;
    Point startTarget_, endTarget_;
    JoinWeights w_;
    std::vector<std::vector<int>> parts_;

    // The graph of one connector layout.
    std::vector<Edge> edges_;
    std::vector<std::vector<int>> incident_;
    std::vector<int> odd_;
    std::vector<int> candidates_;
    std::map<int, PathTree> trees_;
};

void Router::findParts() {
    UnionFind uf(g_.vertices.size());
    for (const Edge& e : g_.edges) uf.unite(e.a, e.b);
    std::map<int, std::size_t> index;
    for (std::size_t v = 0; v < g_.vertices.size(); ++v) {
        const int root = uf.find(static_cast<int>(v));
        if (!index.contains(root)) {
            index[root] = parts_.size();
            parts_.emplace_back();
        }
        parts_[index[root]].push_back(static_cast<int>(v));
    }
}

std::vector<std::vector<Connector>> Router::connectorLayouts(double snap) {
    const std::size_t k = parts_.size();
    if (k < 2) return {{}};
    std::vector<int> degree(g_.vertices.size(), 0);
    for (const Edge& e : g_.edges) {
        ++degree[e.a];
        ++degree[e.b];
    }
    // Candidate connectors for every pair of parts: the shortest line between
    // them, and the shortest ones that end on loose stroke ends (which a
    // connector evens out instead of adding an odd vertex).
    std::vector<std::vector<std::vector<Connector>>> options(
        k, std::vector<std::vector<Connector>>(k));
    for (std::size_t i = 0; i < k; ++i)
        for (std::size_t j = i + 1; j < k; ++j) {
            std::pair<Point, Point> closest;
            double closestDistance = kInfinity;
            const auto pieces = [&](std::size_t part) {
                std::vector<std::pair<Point, Point>> out;
                for (const Edge& e : g_.edges)
                    if (std::find(parts_[part].begin(), parts_[part].end(), e.a) !=
                        parts_[part].end())
                        out.push_back({g_.vertices[e.a], g_.vertices[e.b]});
                if (out.empty())
                    out.push_back({g_.vertices[parts_[part][0]], g_.vertices[parts_[part][0]]});
                return out;
            };
            for (const auto& [a0, a1] : pieces(i))
                for (const auto& [b0, b1] : pieces(j)) {
                    const auto pq = closestOnSegments(a0, a1, b0, b1);
                    const double d = distance(pq.first, pq.second);
                    if (d < closestDistance - 1e-9) {
                        closestDistance = d;
                        closest = pq;
                    }
                }
            const int a = vertexOnGraph(g_, parts_[i], closest.first, snap);
            const int b = vertexOnGraph(g_, parts_[j], closest.second, snap);
            if (a >= 0 && a >= static_cast<int>(degree.size()))
                parts_[i].push_back(a), degree.push_back(2);
            if (b >= 0 && b >= static_cast<int>(degree.size()))
                parts_[j].push_back(b), degree.push_back(2);
            auto& list = options[i][j];
            if (a >= 0 && b >= 0) list.push_back({a, b, distance(g_.vertices[a], g_.vertices[b])});
            const auto addBest = [&](bool oddA, bool oddB) {
                Connector best{-1, -1, kInfinity};
                for (int va : parts_[i])
                    for (int vb : parts_[j]) {
                        if ((oddA && degree[va] % 2 == 0) || (oddB && degree[vb] % 2 == 0))
                            continue;
                        const double d = distance(g_.vertices[va], g_.vertices[vb]);
                        if (d < best.length - 1e-9) best = {va, vb, d};
                    }
                if (best.a < 0) return;
                for (const auto& c : list)
                    if (c.a == best.a && c.b == best.b) return;
                list.push_back(best);
            };
            addBest(true, true);
            addBest(true, false);
            addBest(false, true);
            addBest(false, false);
        }

    // Spanning trees over the parts, every tree edge one of its candidates.
    std::vector<std::pair<int, int>> pairs;
    for (std::size_t i = 0; i < k; ++i)
        for (std::size_t j = i + 1; j < k; ++j)
            pairs.push_back({static_cast<int>(i), static_cast<int>(j)});
    std::vector<std::vector<std::pair<int, int>>> trees;
    if (k <= kTreeSearchParts) {
        std::vector<int> chosen;
        const auto search = [&](auto&& self, std::size_t from) -> void {
            if (chosen.size() == k - 1) {
                UnionFind uf(k);
                for (int p : chosen)
                    if (!uf.unite(pairs[p].first, pairs[p].second)) return;
                std::vector<std::pair<int, int>> tree;
                for (int p : chosen) tree.push_back(pairs[p]);
                trees.push_back(tree);
                return;
            }
            for (std::size_t p = from; p < pairs.size(); ++p) {
                chosen.push_back(static_cast<int>(p));
                self(self, p + 1);
                chosen.pop_back();
            }
        };
        search(search, 0);
    } else {
        auto byLength = pairs;
        std::stable_sort(byLength.begin(), byLength.end(), [&](auto x, auto y) {
            return options[x.first][x.second][0].length < options[y.first][y.second][0].length;
        });
        UnionFind uf(k);
        std::vector<std::pair<int, int>> tree;
        for (auto p : byLength)
            if (uf.unite(p.first, p.second)) tree.push_back(p);
        trees.push_back(tree);
    }

    std::vector<std::pair<double, std::vector<Connector>>> layouts;
    for (const auto& tree : trees) {
        std::vector<std::size_t> choice(tree.size(), 0);
        for (;;) {
            std::vector<Connector> layout;
            double total = 0;
            for (std::size_t t = 0; t < tree.size(); ++t) {
                layout.push_back(options[tree[t].first][tree[t].second][choice[t]]);
                total += layout.back().length;
            }
            layouts.push_back({total, layout});
            std::size_t t = 0;
            while (t < tree.size() && ++choice[t] == options[tree[t].first][tree[t].second].size())
                choice[t++] = 0;
            if (t == tree.size()) break;
        }
    }
    std::stable_sort(layouts.begin(), layouts.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
    if (layouts.size() > kLayoutsRouted) layouts.resize(kLayoutsRouted);
    std::vector<std::vector<Connector>> out;
    for (auto& layout : layouts) out.push_back(std::move(layout.second));
    return out;
}

void Router::prepare(const std::vector<Connector>& connectors) {
    edges_ = g_.edges;
    for (const Connector& c : connectors) edges_.push_back({c.a, c.b, c.length, true});
    incident_.assign(g_.vertices.size(), {});
    for (std::size_t i = 0; i < edges_.size(); ++i) {
        incident_[edges_[i].a].push_back(static_cast<int>(i));
        incident_[edges_[i].b].push_back(static_cast<int>(i));
    }
    odd_.clear();
    for (std::size_t v = 0; v < g_.vertices.size(); ++v)
        if (incident_[v].size() % 2) odd_.push_back(static_cast<int>(v));

    // Where the walk may begin or end: loose ends, and the vertices nearest to the targets.
    candidates_ = odd_;
    for (Point target : {startTarget_, endTarget_}) {
        std::vector<int> byDistance(g_.vertices.size());
        std::iota(byDistance.begin(), byDistance.end(), 0);
        std::stable_sort(byDistance.begin(), byDistance.end(), [&](int a, int b) {
            return distance(g_.vertices[a], target) < distance(g_.vertices[b], target);
        });
        for (std::size_t i = 0; i < byDistance.size() && i < kNearTarget; ++i)
            if (std::find(candidates_.begin(), candidates_.end(), byDistance[i]) ==
                candidates_.end())
                candidates_.push_back(byDistance[i]);
    }
    trees_.clear();
    for (int v : candidates_) trees_[v] = shortestPaths(g_.vertices, edges_, incident_, v);
}

Route Router::bestRoute(const std::vector<Connector>& connectors) {
    prepare(connectors);
    Route route;
    route.connectors = connectors;
    double connectorLength = 0;
    for (const Connector& c : connectors) connectorLength += c.length;
    const double base = w_.connector * connectorLength;
    const int m = static_cast<int>(odd_.size());
    std::vector<const std::vector<double>*> rowOf(g_.vertices.size(), nullptr);
    for (const auto& [v, tree] : trees_) rowOf[v] = &tree.distance;
    const auto d = [&](int a, int b) { return (*rowOf[a])[b]; };
    const auto away = [&](Point p, Point target) {
        return std::hypot((p.x - target.x) * w_.horizontal, p.y - target.y);
    };
    const auto startCost = [&](int v) {
        const Point p = g_.vertices[v];
        return w_.start * away(p, startTarget_);
    };
    const auto endCost = [&](int v) {
        const Point p = g_.vertices[v];
        return w_.end * away(p, endTarget_);
    };

    if (m > kExactPairingLimit) {
        // Too many loose ends to weigh every start and end: both on loose ends.
        for (int s : odd_)
            for (int e : odd_) {
                if (s == e) continue;
                std::vector<int> rest;
                for (int v : odd_)
                    if (v != s && v != e) rest.push_back(v);
                double pairing = 0;
                cheapestPairing(
                    static_cast<int>(rest.size()),
                    [&](int i, int j) { return d(rest[i], rest[j]); }, &pairing, false);
                const double cost = base + w_.retrace * pairing + startCost(s) + endCost(e);
                if (cost < route.cost) route = {cost, connectors, s, e};
            }
        return route;
    }

    // Cheapest pairing of every even subset of the odd vertices.
    const std::size_t states = std::size_t{1} << m;
    std::vector<double> pairing(states, kInfinity);
    pairing[0] = 0;
    for (std::size_t s = 1; s < states; ++s) {
        if (std::popcount(s) % 2) continue;
        const int i = std::countr_zero(s);
        for (int j = i + 1; j < m; ++j)
            if (s >> j & 1)
                pairing[s] = std::min(
                    pairing[s], d(odd_[i], odd_[j]) +
                                    pairing[s & ~(std::size_t{1} << i) & ~(std::size_t{1} << j)]);
    }
    const std::size_t all = states - 1;
    const auto without = [&](int i) { return ~(std::size_t{1} << i); };
    std::map<int, int> oddIndex;
    for (int i = 0; i < m; ++i) oddIndex[odd_[i]] = i;

    // viaOdd[s][o2]: cheapest way to leave s towards a loose end other than o2 and
    // to pair up all loose ends but those two.
    std::map<int, std::vector<double>> viaOdd;
    for (int s : candidates_) {
        if (oddIndex.contains(s)) continue;
        auto& row = viaOdd[s];
        row.assign(m, kInfinity);
        for (int o2 = 0; o2 < m; ++o2)
            for (int o1 = 0; o1 < m; ++o1)
                if (o1 != o2)
                    row[o2] = std::min(row[o2],
                                       d(s, odd_[o1]) + pairing[all & without(o1) & without(o2)]);
    }
    for (int s : candidates_)
        for (int e : candidates_) {
            double extra = kInfinity;
            const auto si = oddIndex.find(s);
            const auto ei = oddIndex.find(e);
            const bool sOdd = si != oddIndex.end();
            const bool eOdd = ei != oddIndex.end();
            if (s == e) {
                extra = pairing[all];
            } else if (sOdd && eOdd) {
                extra = pairing[all & without(si->second) & without(ei->second)];
            } else if (sOdd || eOdd) {
                const int fixed = sOdd ? si->second : ei->second;
                const int loose = sOdd ? e : s;
                for (int o = 0; o < m; ++o)
                    if (o != fixed)
                        extra = std::min(
                            extra, d(loose, odd_[o]) + pairing[all & without(fixed) & without(o)]);
            } else {
                extra = d(s, e) + pairing[all];
                const auto& row = viaOdd.at(s);
                for (int o2 = 0; o2 < m; ++o2) extra = std::min(extra, row[o2] + d(e, odd_[o2]));
            }
            const double cost = base + w_.retrace * extra + startCost(s) + endCost(e);
            if (cost < route.cost - 1e-9) {
                route.cost = cost;
                route.start = s;
                route.end = e;
            }
        }
    return route;
}

JoinedStroke Router::walk(const Route& route) {
    prepare(route.connectors);
    JoinedStroke out;
    // The vertices that must end a retraced path: odd ones, changed by the chosen start and end.
    std::vector<int> ends;
    const auto toggle = [&](int v) {
        const auto it = std::find(ends.begin(), ends.end(), v);
        if (it == ends.end())
            ends.push_back(v);
        else
            ends.erase(it);
    };
    for (int v : odd_) toggle(v);
    if (route.start != route.end) {
        toggle(route.start);
        toggle(route.end);
    }
    for (int v : ends)
        if (!trees_.contains(v)) trees_[v] = shortestPaths(g_.vertices, edges_, incident_, v);
    double unused = 0;
    const auto pairs = cheapestPairing(
        static_cast<int>(ends.size()),
        [&](int i, int j) { return trees_.at(ends[i]).distance[ends[j]]; }, &unused);

    std::vector<Edge> all = edges_;
    std::vector<bool> repeat(all.size(), false);
    for (const auto& [i, j] : pairs) {
        const PathTree& tree = trees_.at(ends[i]);
        for (int v = ends[j]; v != ends[i];) {
            const int ei = tree.viaEdge[v];
            all.push_back(edges_[ei]);
            repeat.push_back(true);
            v = edges_[ei].a == v ? edges_[ei].b : edges_[ei].a;
        }
    }
    for (const Edge& e : edges_)
        if (e.connector) {
            out.connectorLength += e.length;
            ++out.connectors;
        }

    // Hierholzer's walk; at every vertex it goes on as straight as it can.
    std::vector<std::vector<int>> incident(g_.vertices.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        incident[all[i].a].push_back(static_cast<int>(i));
        incident[all[i].b].push_back(static_cast<int>(i));
    }
    std::vector<bool> used(all.size(), false);
    std::vector<std::pair<int, int>> stack{{route.start, -1}};  // vertex, edge that led to it
    std::vector<std::pair<int, int>> circuit;
    while (!stack.empty()) {
        const auto [v, via] = stack.back();
        int next = -1;
        double straightest = -kInfinity;
        Point heading{0, 0};
        if (via >= 0) {
            const int from = all[via].a == v ? all[via].b : all[via].a;
            heading = g_.vertices[v] - g_.vertices[from];
            heading = heading * (1 / std::max(length(heading), 1e-12));
        }
        for (int ei : incident[v]) {
            if (used[ei]) continue;
            const int w = all[ei].a == v ? all[ei].b : all[ei].a;
            Point d = g_.vertices[w] - g_.vertices[v];
            d = d * (1 / std::max(length(d), 1e-12));
            const double score = dot(heading, d);
            if (score > straightest + 1e-9) {
                straightest = score;
                next = ei;
            }
        }
        if (next < 0) {
            circuit.push_back(stack.back());
            stack.pop_back();
            continue;
        }
        used[next] = true;
        stack.push_back({all[next].a == v ? all[next].b : all[next].a, next});
    }
    std::reverse(circuit.begin(), circuit.end());

    std::map<std::pair<int, int>, int> drawn;
    for (std::size_t i = 0; i < circuit.size(); ++i) {
        out.points.push_back(g_.vertices[circuit[i].first]);
        if (i == 0) continue;
        const Edge& e = all[circuit[i].second];
        const auto key = std::minmax(e.a, e.b);
        const bool again = drawn[key]++ > 0;
        if (again) out.retraceLength += e.length;
        out.kinds.push_back(again         ? SegmentKind::Retrace
                            : e.connector ? SegmentKind::Connector
                                          : SegmentKind::Ink);
        out.airborne.push_back(e.connector);
        if (e.connector) out.connectorPasses += e.length;
    }
    return out;
}

JoinedStroke Router::run(double snap) {
    findParts();
    if (g_.vertices.empty()) return {};
    Route best;
    for (const auto& layout : connectorLayouts(snap)) {
        Route r = bestRoute(layout);
        if (r.cost < best.cost - 1e-9) best = r;
    }
    if (best.start < 0) throw std::logic_error("stroke joiner found no walk");
    return walk(best);
}

// Drops points that lie straight on between their neighbours (same kind on both sides).
void simplify(JoinedStroke& s) {
    if (s.points.size() < 3) return;
    Polyline points{s.points[0]};
    std::vector<SegmentKind> kinds;
    std::vector<bool> airborne;
    for (std::size_t i = 1; i < s.points.size(); ++i) {
        const SegmentKind kind = s.kinds[i - 1];
        if (!kinds.empty() && kinds.back() == kind && points.size() >= 2) {
            const Point a = points[points.size() - 2];
            const Point b = points.back();
            const Point c = s.points[i];
            const Point d1 = b - a;
            const Point d2 = c - b;
            if (std::abs(cross(d1, d2)) <= 1e-9 * length(d1) * length(d2) && dot(d1, d2) > 0) {
                points.back() = c;
                // A retrace that runs on from ink into a connector is ink drawn
                // already: lifting over the whole of it loses nothing.
                if (s.airborne[i - 1]) airborne.back() = true;
                continue;
            }
        }
        points.push_back(s.points[i]);
        kinds.push_back(kind);
        airborne.push_back(s.airborne[i - 1]);
    }
    s.points = std::move(points);
    s.kinds = std::move(kinds);
    s.airborne = std::move(airborne);
}

}  // namespace

JoinedStroke joinStrokes(const std::vector<Polyline>& strokes, Point startTarget, Point endTarget,
                         const JoinWeights& weights, double snap) {
    Router router(buildGraph(strokes, snap), startTarget, endTarget, weights);
    JoinedStroke joined = router.run(snap);
    simplify(joined);
    return joined;
}

}  // namespace fontc
