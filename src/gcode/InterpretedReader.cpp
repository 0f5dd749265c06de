#include "gcode/InterpretedReader.h"

#include <algorithm>
#include <memory>

#include "gcode/GCodeInterpreter.h"
#include "gcode/GCodeReader.h"
#include "lib/Win1251.h"

namespace {

constexpr std::size_t kQuotedLineLimit = 200;

// Collects each line's moves for its record and the extent of the path.
class RecordingSink final : public MotionSink {
  public:
    explicit RecordingSink(ToolMoves& moves) : moves_(moves) {}

    void straight(const PathPoint& to, const Move& move) override {
        ToolMove m;
        m.end = to;
        m.flags = flagsOf(move);
        line_.push_back(m);
        take(to.X, to.Y);
    }
    void arc(const PathPoint& to, const ArcShape& arc, const Move& move) override {
        ToolMove m;
        m.end = to;
        m.flags = flagsOf(move);
        m.arc = static_cast<std::int32_t>(moves_.addArc(arc));
        const XyBox box = ArcXyBox(from(), to, arc);
        take(box.MinX, box.MinY);
        take(box.MaxX, box.MaxY);
        line_.push_back(m);
    }

    void endRecord(const PathPoint& position) {
        moves_.addRecord(line_.data(), line_.size(), position);
        last_ = position;
        line_.clear();
    }
    const ViewBounds& bounds() const { return bounds_; }

  private:
    static std::uint8_t flagsOf(const Move& move) {
        return static_cast<std::uint8_t>((move.rapid ? ToolMove::kRapid : 0) |
                                         (move.spindleOn ? ToolMove::kSpindleOn : 0));
    }
    PathPoint from() const { return line_.empty() ? last_ : line_.back().end; }
    void take(double x, double y) {
        bounds_.MinX = std::min(bounds_.MinX, x);
        bounds_.MinY = std::min(bounds_.MinY, y);
        bounds_.MaxX = std::max(bounds_.MaxX, x);
        bounds_.MaxY = std::max(bounds_.MaxY, y);
    }

    ToolMoves& moves_;
    std::vector<ToolMove> line_;
    PathPoint last_;
    ViewBounds bounds_;  // the origin is in it from the start
};

std::size_t countLines(std::string_view text, std::size_t& endBytes) {
    std::size_t lines = 0;
    endBytes = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n') {
            ++lines;
            ++endBytes;
        } else if (c == '\r') {
            ++endBytes;
            if (i + 1 == text.size() || text[i + 1] != '\n') ++lines;
        }
    }
    if (!text.empty() && text.back() != '\n' && text.back() != '\r') ++lines;
    return lines;
}

}  // namespace

std::string SkippedLineText(const PenPoints& points, const SkippedLine& skipped) {
    std::string text = cp("строка ") + std::to_string(skipped.line) + ": ";
    if (skipped.line >= 1 && skipped.line <= points.count()) {
        const std::string line = points.line(skipped.line, kQuotedLineLimit + 1);
        text += line.substr(0, kQuotedLineLimit);
        if (line.size() > kQuotedLineLimit) text += "...";
    }
    return text + cp(" — ") + BlockIssueText(skipped.issue);
}

std::string IncompletePictureText(const PenPoints& points,
                                  const std::vector<SkippedLine>& skipped) {
    constexpr std::size_t kNamed = 20;
    std::string text = cp("Рисунок неполный: эти строки не выполнены, нарисовано остальное.");
    for (std::size_t i = 0; i < skipped.size() && i < kNamed; ++i)
        text += "\r" + SkippedLineText(points, skipped[i]);
    if (skipped.size() > kNamed)
        text += "\r" + cp("...и ещё ") + std::to_string(skipped.size() - kNamed);
    return text;
}

InterpretedRead InterpretGCodeText(std::string_view text, PenPoints& points, ViewBounds& bounds,
                                   EventPump& pump) {
    std::size_t endBytes = 0;
    const std::size_t lines = countLines(text, endBytes);
    auto path = std::make_shared<PenPoints>();
    path->clear();
    path->reserve(lines, text.size() - endBytes);
    auto moves = std::make_shared<ToolMoves>();
    moves->reserve(lines);

    RecordingSink sink(*moves);
    GCodeInterpreter interpreter(sink);
    // Drilling cycles stay within a few moves per byte of the file.
    interpreter.limitMoves(4 * text.size() + 100000);
    InterpretedRead read;
    bool anyGCode = false;
    std::size_t firstNotGCode = 0;
    ForEachProgramLine(text, [&](std::string_view line) {
        const BlockIssue issue = interpreter.run(line);
        const PathPoint& at = interpreter.position();
        path->append(PenPoint{at.X, at.Y, at.Z}, line);
        sink.endRecord(at);
        if (issue == BlockIssue::NotGCode) {
            if (firstNotGCode == 0) firstNotGCode = path->count();
        } else if (interpreter.lineHadWords()) {
            anyGCode = true;
        }
        if (issue != BlockIssue::None) read.skipped.push_back({path->count(), issue});
        pump.tick();
    });
    if (!anyGCode) {
        // Nothing here is a program: the word-by-word reading's own refusal.
        std::size_t quoted = firstNotGCode;
        for (std::size_t i = 1; quoted == 0 && i <= path->count(); ++i)
            if (!path->ownLine(i).empty()) quoted = i;
        throw GCodeReadError(quoted == 0 ? std::string() : path->line(quoted));
    }

    read.cutRule.byHeight = interpreter.movedInZ();
    read.cutRule.startHeight = interpreter.startHeight();
    read.cutRule.switchesSpindle = interpreter.switchesSpindle();
    moves->resolveCuts(*path, read.cutRule);
    path->setMoves(std::move(moves));
    points = std::move(*path);
    bounds = sink.bounds();
    return read;
}

InterpretedRead InterpretGCodeFile(const std::string& path, PenPoints& points, ViewBounds& bounds,
                                   EventPump& pump) {
    const std::string bytes = ReadGCodeFileBytes(path);
    if (bytes.find_first_not_of(" \t\r\n") == std::string::npos) throw EmptyGCodeFileError(path);
    return InterpretGCodeText(bytes, points, bounds, pump);
}
