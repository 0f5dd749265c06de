#include "gcode/HeightMapApply.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <vector>

#include "gcode/ArcShape.h"
#include "gcode/GCodeInterpreter.h"
#include "gcode/MoveNumber.h"
#include "lib/Win1251.h"

namespace {

constexpr double kArcTolerance = 0.005;

std::string num(double v) { return movenumber::fixedText(v, 3, true); }

struct Piece {
    PathPoint to;
    bool rapid = false;
    double feed = 0;
    bool isArc = false;
    ArcShape arc;
};

class LineMoves final : public MotionSink {
  public:
    void straight(const PathPoint& to, const Move& move) override {
        pieces.push_back({to, move.rapid, move.feed, false, {}});
    }
    void arc(const PathPoint& to, const ArcShape& arc, const Move& move) override {
        pieces.push_back({to, false, move.feed, true, arc});
    }
    std::vector<Piece> pieces;
};

struct Word {
    char letter;
    std::string value;
    double number() const {
        double v = 0;
        std::from_chars(value.data(), value.data() + value.size(), v);
        return v;
    }
};

// A line without comments and blanks, taken apart into its words.
std::vector<Word> wordsOf(std::string_view line) {
    std::vector<Word> words;
    bool comment = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (comment) {
            comment = c != ')';
            continue;
        }
        if (c == '(') {
            comment = true;
        } else if (c == ';') {
            break;
        } else if (std::isalpha(static_cast<unsigned char>(c))) {
            words.push_back({static_cast<char>(std::toupper(static_cast<unsigned char>(c))), {}});
        } else if (c != ' ' && c != '\t' && !words.empty()) {
            words.back().value.push_back(c);
        }
    }
    return words;
}

std::string textOf(const std::vector<Word>& words) {
    std::string text;
    for (const Word& w : words) text += w.letter + w.value;
    return text;
}

bool isMotionOrMode(double g) {
    const long tenths = std::lround(g * 10);
    return tenths <= 30 || (tenths >= 170 && tenths <= 210) || tenths == 380 || tenths == 382 ||
           tenths == 383 || tenths == 384 || tenths == 385 || tenths == 730 ||
           (tenths >= 800 && tenths <= 890) || tenths == 900 || tenths == 910 || tenths == 901 ||
           tenths == 911;
}

bool isMode(double g) {
    const long tenths = std::lround(g * 10);
    return tenths == 200 || tenths == 210 || tenths == 900 || tenths == 910 || tenths == 901 ||
           tenths == 911;
}

class Follower {
  public:
    Follower(const HeightMap& map, const HeightMapUse& use) : map_(map), use_(use) {
        out_ = "(VEzor: the writing follows a height map)\r\nG21G90\r\n";
    }

    void line(std::string_view raw) {
        ++number_;
        const std::vector<Word> words = wordsOf(raw);
        if (words.empty()) return;
        bool machineFrame = false;
        for (const Word& w : words) {
            if (w.letter != 'G') continue;
            const long tenths = std::lround(w.number() * 10);
            if (tenths == 100 || (tenths >= 920 && tenths <= 923))
                fail("программа сдвигает координаты (G92, G10), а карта высот снята в других");
            if (tenths == 530 || tenths == 280 || tenths == 300) machineFrame = true;
        }
        const std::string text = textOf(words);
        moves_.pieces.clear();
        const PathPoint from = interpreter_.position();
        interpreter_.run(text);
        const GCodeBlock& block = interpreter_.block();
        if (machineFrame) {
            // Machine coordinates are the machine's business; our modes come back after.
            emit(text);
            emit("G21G90");
            for (bool& p : placed_) p = false;
            return;
        }
        if (moves_.pieces.empty()) {
            std::vector<Word> kept;
            for (const Word& w : words)
                if (!(w.letter == 'G' && isMode(w.number()))) kept.push_back(w);
            if (!kept.empty()) emit(textOf(kept));
            return;
        }
        std::vector<Word> prefix;
        for (const Word& w : words) {
            const bool motion = w.letter == 'G' && isMotionOrMode(w.number());
            const bool axis =
                std::string_view("XYZIJKRPQLFN").find(w.letter) != std::string_view::npos;
            if (!motion && !axis) prefix.push_back(w);
        }
        if (!prefix.empty()) emit(textOf(prefix));
        PathPoint at = from;
        for (const Piece& piece : moves_.pieces) {
            for (std::size_t k = 0; k < 3; ++k)
                if (block.has(static_cast<char>('X' + k)) || piece.to[k] != at[k])
                    placed_[k] = true;
            if (piece.rapid)
                rapid(piece.to);
            else if (piece.isArc)
                arc(at, piece);
            else
                feed(at, piece.to, piece.feed);
            at = piece.to;
        }
    }

    std::string text() { return std::move(out_); }

  private:
    void emit(const std::string& line) { out_ += line + "\r\n"; }

    [[noreturn]] void fail(const std::string& what) const {
        throw HeightMapError(cp("Строка " + std::to_string(number_) + ": " + what + "."));
    }

    void rapid(const PathPoint& to) {
        std::string line = "G0";
        for (std::size_t k = 0; k < 3; ++k)
            if (placed_[k])
                line += std::string(1, "XYZ"[k]) + num(k == 2 ? to.Z + map_.highest() : to[k]);
        if (line.size() > 2) emit(line);
    }

    void arc(const PathPoint& from, const Piece& piece) {
        const ArcTracer tracer(from, piece.to, piece.arc);
        PathPoint last = from;
        tracer.forEachChordEnd(ArcChords(from, piece.to, piece.arc, kArcTolerance),
                               [&](const PathPoint& p) {
                                   feed(last, p, piece.feed);
                                   last = p;
                               });
    }

    // Split where the move crosses a grid line and every segment length.
    void feed(const PathPoint& from, const PathPoint& to, double feedRate) {
        if (!placed_[2]) fail("программа пишет, не задав Z, и карте высот нечего поднимать");
        const double dx = to.X - from.X, dy = to.Y - from.Y;
        std::vector<double> at{1.0};
        const double length = std::hypot(dx, dy);
        const auto pieces = static_cast<std::size_t>(std::ceil(length / use_.segment));
        for (std::size_t i = 1; i < pieces; ++i)
            at.push_back(static_cast<double>(i) / static_cast<double>(pieces));
        const auto crossings = [&](double a, double d, double lo, double hi, std::size_t count) {
            if (d == 0 || count < 2) return;
            for (std::size_t i = 0; i < count; ++i) {
                const double line = lo + (hi - lo) * static_cast<double>(i) / (count - 1);
                const double t = (line - a) / d;
                if (t > 1e-9 && t < 1 - 1e-9) at.push_back(t);
            }
        };
        crossings(from.X, dx, map_.x0, map_.x1, map_.columns);
        crossings(from.Y, dy, map_.y0, map_.y1, map_.rows);
        std::sort(at.begin(), at.end());
        at.erase(std::unique(at.begin(), at.end(), [](double a, double b) { return b - a < 1e-9; }),
                 at.end());
        for (const double t : at) {
            const double x = from.X + dx * t, y = from.Y + dy * t;
            if (map_.outside(x, y) > use_.margin)
                fail("программа пишет за пределами карты высот (X " + num(x) + ", Y " + num(y) +
                     "): снимите карту на всю программу");
            const double z = from.Z + (to.Z - from.Z) * t + map_.height(x, y);
            std::string line = "G1X" + num(x) + "Y" + num(y) + "Z" + num(z);
            if (feedRate != lastFeed_) {
                line += "F" + num(feedRate);
                lastFeed_ = feedRate;
            }
            emit(line);
        }
    }

    const HeightMap& map_;
    const HeightMapUse& use_;
    LineMoves moves_;
    GCodeInterpreter interpreter_{moves_};
    std::array<bool, 3> placed_{};
    double lastFeed_ = -1;
    std::size_t number_ = 0;
    std::string out_;
};

}  // namespace

std::string ApplyHeightMap(std::string_view program, const HeightMap& map,
                           const HeightMapUse& use) {
    Follower follower(map, use);
    ForEachProgramLine(program, [&](std::string_view line) { follower.line(line); });
    return follower.text();
}
