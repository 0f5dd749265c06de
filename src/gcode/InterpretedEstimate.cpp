#include "gcode/InterpretedEstimate.h"

#include <cmath>

#include "gcode/GCodeInterpreter.h"
#include "lib/TextFile.h"

namespace {

class EstimatingSink final : public MotionSink {
  public:
    EstimatingSink(const MachineLimits& limits, const CutRule& rule)
        : limits_(limits), rule_(rule), planner_(limits) {}

    void straight(const PathPoint& to, const Move& move) override {
        account(move, to, std::hypot(to.X - at_.X, to.Y - at_.Y));
        planner_.move({to.X, to.Y, to.Z}, move.rapid, move.feed);
        at_ = to;
    }

    void arc(const PathPoint& to, const ArcShape& arc, const Move& move) override {
        account(move, to, ArcXyLength(at_, to, arc));
        // As GRBL runs an arc: chords whose middle strays the arc tolerance,
        // from the start's radius, the last one ending on the end point.
        const auto [a, b, n] = PlaneAxes(arc.plane);
        const double ra = at_[a] - arc.centreA;
        const double rb = at_[b] - arc.centreB;
        const double radius = std::hypot(ra, rb);
        const double tolerance = limits_.arcTolerance;
        const double chord = std::sqrt(tolerance * (2 * radius - tolerance));
        const double count =
            chord > 0 ? std::floor(std::fabs(0.5 * arc.sweep * radius) / chord) : 0;
        const double segments = std::min(count, 65535.0);  // GRBL counts them in 16 bits
        const double start = std::atan2(rb, ra);
        for (double i = 1; i < segments; ++i) {
            const double angle = start + arc.sweep * i / segments;
            std::array<double, 3> p{};
            p[a] = arc.centreA + radius * std::cos(angle);
            p[b] = arc.centreB + radius * std::sin(angle);
            p[n] = at_[n] + (to[n] - at_[n]) * i / segments;
            planner_.move(p, false, move.feed);
        }
        planner_.move({to.X, to.Y, to.Z}, false, move.feed);
        at_ = to;
    }

    void wait() override { planner_.wait(); }
    void dwell(double seconds) override { planner_.dwell(seconds); }

    MachiningFigures finish() {
        if (writing_) ++figures_.lifts;
        writing_ = false;
        figures_.seconds = planner_.finish();
        return figures_;
    }

  private:
    void account(const Move& move, const PathPoint& to, double mm) {
        ToolMove m;
        m.end = to;
        m.flags = static_cast<std::uint8_t>((move.rapid ? ToolMove::kRapid : 0) |
                                            (move.spindleOn ? ToolMove::kSpindleOn : 0));
        if (rule_.cuts(m, at_.Z)) {
            figures_.writingMm += mm;
            writing_ = true;
            return;
        }
        figures_.travelMm += mm;
        if (writing_) ++figures_.lifts;
        writing_ = false;
    }

    MachineLimits limits_;
    CutRule rule_;
    MotionPlanner planner_;
    MachiningFigures figures_;
    PathPoint at_;
    bool writing_ = false;
};

}  // namespace

MachiningFigures EstimateInterpretedText(std::string_view text, const MachineLimits& limits,
                                         const CutRule& rule) {
    EstimatingSink sink(limits, rule);
    GCodeInterpreter interpreter(sink);
    ForEachProgramLine(text, [&interpreter](std::string_view line) { interpreter.run(line); });
    return sink.finish();
}

MachiningFigures EstimateInterpretedFile(const std::string& path, const MachineLimits& limits,
                                         const CutRule& rule) {
    return EstimateInterpretedText(textfile::readBytes(path), limits, rule);
}
