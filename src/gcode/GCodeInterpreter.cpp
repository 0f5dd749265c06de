#include "gcode/GCodeInterpreter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
// Controllers' arc tolerances: an end point further from the centre than the
// start by more than 0.005 mm and 0.1 % of the radius (or by 0.5 mm) is an
// error; a half chord past R by no more than 0.005 mm is a semicircle that
// rounding made a little long; an arc whose end is within this angle of its
// start is a full circle.
constexpr double kArcRadiusSlack = 0.005;
constexpr double kArcRadiusRelative = 0.001;
constexpr double kArcRadiusLimit = 0.5;
constexpr double kArcAngleEpsilon = 5e-7;
// How far a peck cycle backs off, as LinuxCNC does: 0.010 inch.
constexpr double kPeckBackOff = 0.254;
// More repeats or pecks than this is no real hole.
constexpr double kMaxCycleMoves = 10000;
constexpr double kSameHeight = 1e-6;

bool isWhole(double v) { return std::fabs(v - std::round(v)) < 1e-9; }

// The modal groups of G codes (in tenths), as far as the interpreter runs them.
enum GGroup : int {
    kNonModal,
    kMotion,
    kPlane,
    kDistance,
    kArcDistance,
    kFeedMode,
    kUnits,
    kCutter,
    kToolLength,
    kRetract,
    kSystem,
    kPathControl,
    kGGroups,
    kUnknownG = -1,
};

GGroup groupOf(CodeTenths g) {
    switch (g) {
        case 40:   // G4 dwell
        case 100:  // G10
        case 280:
        case 281:
        case 300:
        case 301:
        case 530:  // G53
        case 920:
        case 921:
        case 922:
        case 923:
            return kNonModal;
        case 0:
        case 10:
        case 20:
        case 30:
        case 730:
        case 800:
        case 810:
        case 820:
        case 830:
            return kMotion;
        case 170:
        case 180:
        case 190:
            return kPlane;
        case 900:
        case 910:
            return kDistance;
        case 901:
        case 911:
            return kArcDistance;
        case 930:
        case 940:
            return kFeedMode;
        case 200:
        case 210:
            return kUnits;
        case 400:
        case 410:
        case 420:
            return kCutter;
        case 430:
        case 490:
            return kToolLength;
        case 980:
        case 990:
            return kRetract;
        case 540:
        case 550:
        case 560:
        case 570:
        case 580:
        case 590:
        case 591:
        case 592:
        case 593:
            return kSystem;
        case 610:
        case 611:
        case 640:
            return kPathControl;
        default:
            return kUnknownG;
    }
}

enum MGroup : int { kStop, kToolChange, kSpindle, kCoolant, kOverride, kMGroups, kUnknownM = -1 };

MGroup groupOfM(CodeTenths m) {
    switch (m) {
        case 0:
        case 10:
        case 20:
        case 300:
        case 600:
            return kStop;
        case 60:
            return kToolChange;
        case 30:
        case 40:
        case 50:
            return kSpindle;
        case 70:
        case 80:
        case 90:
            return kCoolant;
        case 480:
        case 490:
            return kOverride;
        default:
            return kUnknownM;
    }
}

std::size_t systemIndex(CodeTenths g) {
    switch (g) {
        case 591:
            return 6;
        case 592:
            return 7;
        case 593:
            return 8;
        default:
            return static_cast<std::size_t>((g - 540) / 10);
    }
}

bool isCycle(int motion) { return motion == 730 || (motion >= 810 && motion <= 830); }

}  // namespace

GCodeInterpreter::GCodeInterpreter(MotionSink& sink) : sink_(sink) {}

GCodeInterpreter::GCodeInterpreter(MotionSink& sink, const State& start)
    : sink_(sink), state_(start) {}

PathPoint GCodeInterpreter::workPosition() const {
    const PathPoint offset = offsetOf(state_);
    return {state_.position.X - offset.X, state_.position.Y - offset.Y,
            state_.position.Z - offset.Z};
}

PathPoint GCodeInterpreter::offsetOf(const State& s) const {
    PathPoint o = s.systems[s.system];
    if (s.shiftOn) {
        o.X += s.shift.X;
        o.Y += s.shift.Y;
        o.Z += s.shift.Z;
    }
    return o;
}

PathPoint GCodeInterpreter::target(const State& s, bool machineFrame) const {
    const PathPoint offset = offsetOf(s);
    PathPoint t = s.position;
    const char letters[3] = {'X', 'Y', 'Z'};
    for (std::size_t k = 0; k < 3; ++k) {
        if (!block_.has(letters[k])) continue;
        const double v = length(block_[letters[k]], s);
        if (machineFrame)
            t[k] = v;
        else if (s.incremental)
            t[k] = s.position[k] + v;
        else
            t[k] = v + offset[k];
    }
    return t;
}

void GCodeInterpreter::straight(State& next, const PathPoint& to, bool rapid) {
    Pending p;
    p.event = Event::Straight;
    p.to = to;
    p.move = {rapid, next.feed,
              (next.spindle == 3 || next.spindle == 4) && (next.speed > 0 || !next.speedGiven)};
    pending_.push_back(p);
    next.position = to;
}

void GCodeInterpreter::wait() {
    Pending p;
    p.event = Event::Wait;
    pending_.push_back(p);
}

BlockIssue GCodeInterpreter::run(std::string_view line) {
    if (ended_) {
        block_.words = 0;
        return BlockIssue::None;
    }
    const BlockIssue read = ReadGCodeBlock(line, block_, scratch_);
    if (read != BlockIssue::None) return read;
    if (block_.delimiter) {
        // "%" before the program opens it; the next one closes it.
        if (delimited_)
            ended_ = true;
        else if (!anyLine_)
            delimited_ = true;
        return BlockIssue::None;
    }
    if (block_.empty()) return BlockIssue::None;
    anyLine_ = true;

    State next = state_;
    pending_.clear();
    bool switchesSpindle = false;
    bool ends = false;
    const BlockIssue issue = [&] {
        const BlockIssue found = execute(next);
        for (std::size_t i = 0; i < block_.mCount; ++i) {
            const CodeTenths m = block_.m[i];
            if (m == 30 || m == 40) switchesSpindle = true;
            if (m == 20 || m == 300) ends = true;
        }
        return found;
    }();
    if (issue != BlockIssue::None) return issue;

    // The line ran: its moves go on, and what they show of the program.
    PathPoint from = state_.position;
    for (const Pending& p : pending_) {
        switch (p.event) {
            case Event::Straight:
            case Event::Arc:
                if (std::fabs(p.to.Z - from.Z) > kSameHeight) {
                    if (!heightKnown_) startHeight_ = p.move.rapid ? p.to.Z : from.Z;
                    heightKnown_ = movedInZ_ = true;
                }
                from = p.to;
                if (p.event == Event::Straight)
                    sink_.straight(p.to, p.move);
                else
                    sink_.arc(p.to, p.arc, p.move);
                break;
            case Event::Wait:
                sink_.wait();
                break;
            case Event::Dwell:
                sink_.dwell(p.seconds);
                break;
        }
    }
    moveBudget_ -= std::min(moveBudget_, pending_.size());
    state_ = next;
    switchesSpindle_ = switchesSpindle_ || switchesSpindle;
    ended_ = ends;
    return BlockIssue::None;
}

BlockIssue GCodeInterpreter::execute(State& next) {
    const GCodeBlock& b = block_;
    std::array<CodeTenths, kGGroups> g;
    g.fill(-1);
    for (std::size_t i = 0; i < b.gCount; ++i) {
        const GGroup group = groupOf(b.g[i]);
        if (group == kUnknownG) return BlockIssue::UnknownG;
        // G80 may stand beside the motion that follows it.
        if (group == kMotion && (b.g[i] == 800 || g[group] == 800)) {
            if (b.g[i] != 800) g[group] = b.g[i];
            if (g[group] < 0) g[group] = 800;
            continue;
        }
        if (g[group] >= 0) return BlockIssue::ModalConflict;
        g[group] = b.g[i];
    }
    std::array<CodeTenths, kMGroups> m;
    m.fill(-1);
    bool flood = false;
    bool mist = false;
    for (std::size_t i = 0; i < b.mCount; ++i) {
        const MGroup group = groupOfM(b.m[i]);
        if (group == kUnknownM) return BlockIssue::UnknownM;
        if (group == kCoolant && b.m[i] != 90) {
            // M7 and M8 may stand together.
            (b.m[i] == 70 ? mist : flood) = true;
            if (m[group] == 90) return BlockIssue::ModalConflict;
            m[group] = b.m[i];
            continue;
        }
        if (m[group] >= 0) return BlockIssue::ModalConflict;
        m[group] = b.m[i];
    }
    if (g[kFeedMode] == 930) return BlockIssue::InverseTimeFeed;
    if (g[kCutter] == 410 || g[kCutter] == 420) return BlockIssue::CutterCompensation;

    const bool axes = b.has('X') || b.has('Y') || b.has('Z');
    const CodeTenths nonModal = g[kNonModal];
    const bool nonModalAxes =
        nonModal == 100 || nonModal == 280 || nonModal == 300 || nonModal == 920;
    if (nonModalAxes && g[kMotion] >= 0 && g[kMotion] != 800) return BlockIssue::TwoAxisCommands;
    const int motion = g[kMotion] >= 0 ? (g[kMotion] == 800 ? -1 : g[kMotion]) : next.motion;
    if (nonModal == 530 && motion != 0 && motion != 10) return BlockIssue::G53NeedsG0G1;
    if (axes && !nonModalAxes && motion < 0) return BlockIssue::AxisWordsUnused;

    // In the order a controller runs a line's words.
    if (g[kUnits] >= 0) next.inches = g[kUnits] == 200;
    if (b.has('F')) next.feed = length(b['F'], next);
    if (b.has('S')) {
        const bool spindleOn = next.spindle != 5;
        if (spindleOn && b['S'] != next.speed) wait();
        next.speed = b['S'];
        next.speedGiven = true;
    }
    if (m[kToolChange] >= 0) wait();
    if (m[kSpindle] >= 0) {
        const int spindle = m[kSpindle] / 10;
        if (spindle != next.spindle) wait();
        next.spindle = spindle;
    }
    if (m[kCoolant] >= 0) {
        const bool coolant = m[kCoolant] != 90;
        if (coolant != next.coolant || (coolant && flood && mist)) wait();
        next.coolant = coolant;
    }
    if (nonModal == 40) {
        Pending p;
        p.event = Event::Dwell;
        p.seconds = b.has('P') ? b['P'] : 0;
        pending_.push_back(p);
    }
    if (g[kPlane] >= 0)
        next.plane = g[kPlane] == 170   ? ArcPlane::XY
                     : g[kPlane] == 180 ? ArcPlane::ZX
                                        : ArcPlane::YZ;
    if (g[kSystem] >= 0) {
        const std::size_t system = systemIndex(g[kSystem]);
        if (system != next.system) wait();
        next.system = system;
    }
    if (g[kDistance] >= 0) next.incremental = g[kDistance] == 910;
    if (g[kArcDistance] >= 0) next.arcCentreAbsolute = g[kArcDistance] == 901;
    if (g[kRetract] >= 0) next.retractToR = g[kRetract] == 990;

    const char axisLetters[3] = {'X', 'Y', 'Z'};
    switch (nonModal) {
        case 100: {  // G10 L2 / L20: a work offset set
            if (!b.has('L') || !b.has('P') || !isWhole(b['P']) || b['P'] < 0 || b['P'] > 9)
                return BlockIssue::BadOffsetCommand;
            const auto l = b['L'];
            if (l != 2 && l != 20) return BlockIssue::BadOffsetCommand;
            const auto p = static_cast<std::size_t>(std::lround(b['P']));
            PathPoint& system = next.systems[p == 0 ? next.system : p - 1];
            for (std::size_t k = 0; k < 3; ++k) {
                if (!b.has(axisLetters[k])) continue;
                const double v = length(b[axisLetters[k]], next);
                system[k] = l == 2 ? v : next.position[k] - (next.shiftOn ? next.shift[k] : 0) - v;
            }
            wait();
            break;
        }
        case 280:
        case 300: {  // G28 / G30: through the point given, home
            const PathPoint& home = nonModal == 280 ? next.home28 : next.home30;
            PathPoint to = next.position;
            if (axes) {
                straight(next, target(next, false), true);
                for (std::size_t k = 0; k < 3; ++k)
                    if (b.has(axisLetters[k])) to[k] = home[k];
            } else {
                to = home;
            }
            straight(next, to, true);
            break;
        }
        case 281:
            next.home28 = next.position;
            wait();
            break;
        case 301:
            next.home30 = next.position;
            wait();
            break;
        case 920: {  // G92: the point where the tool stands gets the given coordinates
            if (!axes) return BlockIssue::AxisWordsUnused;
            for (std::size_t k = 0; k < 3; ++k) {
                if (!b.has(axisLetters[k])) continue;
                next.shift[k] = next.position[k] - next.systems[next.system][k] -
                                length(b[axisLetters[k]], next);
            }
            next.shiftOn = true;
            wait();
            break;
        }
        case 921:
            next.shift = {};
            wait();
            break;
        case 922:
            next.shiftOn = false;
            wait();
            break;
        case 923:
            next.shiftOn = true;
            wait();
            break;
        default:
            break;
    }

    next.motion = motion;
    if (!isCycle(motion)) next.inCycles = false;
    if (nonModalAxes) {
        // The axis words were the offset's or the return's.
    } else if (isCycle(motion)) {
        const bool runs = b.has('X') || b.has('Y') || b.has('Z') || b.has('R') || g[kMotion] >= 0;
        if (runs) {
            const BlockIssue issue = drillCycle(next, motion);
            if (issue != BlockIssue::None) return issue;
        }
    } else if (motion == 0 || motion == 10) {
        if (axes) {
            if (motion == 10 && !(next.feed > 0)) return BlockIssue::NoFeed;
            straight(next, target(next, nonModal == 530), motion == 0);
        }
    } else if (motion == 20 || motion == 30) {
        const bool centre = b.has('I') || b.has('J') || b.has('K') || b.has('R');
        if (axes || (g[kMotion] >= 0 && centre)) {
            const BlockIssue issue = arcMove(next, target(next, false), motion == 20);
            if (issue != BlockIssue::None) return issue;
        }
    }

    if (m[kStop] >= 0) wait();
    return BlockIssue::None;
}

BlockIssue GCodeInterpreter::arcMove(State& next, const PathPoint& to, bool clockwise) {
    const GCodeBlock& b = block_;
    if (!(next.feed > 0)) return BlockIssue::NoFeed;
    const auto [a, c, n] = PlaneAxes(next.plane);
    const char centreLetters[3] = {'I', 'J', 'K'};
    const bool hasR = b.has('R');
    const bool hasCentre = b.has(centreLetters[a]) || b.has(centreLetters[c]);
    if (b.has(centreLetters[n]) || (hasR && hasCentre)) return BlockIssue::ArcMixedForms;
    if (!hasR && !hasCentre) return BlockIssue::ArcWithoutCentre;

    const PathPoint& from = next.position;
    const double x = to[a] - from[a];
    const double y = to[c] - from[c];
    ArcShape arc;
    arc.plane = next.plane;
    if (hasR) {
        const double r = length(b['R'], next);
        if (x == 0 && y == 0) return BlockIssue::ArcFullCircleByRadius;
        const double chord = std::hypot(x, y);
        double h4 = 4 * r * r - x * x - y * y;
        if (h4 < 0) {
            if (chord / 2 - std::fabs(r) > kArcRadiusSlack) return BlockIssue::ArcRadiusTooSmall;
            h4 = 0;
        }
        // As GRBL finds the centre: off the chord's middle, to the right of
        // the way for a clockwise arc, the other side for a negative R.
        double h = -std::sqrt(h4) / chord;
        if (!clockwise) h = -h;
        if (r < 0) h = -h;
        arc.centreA = from[a] + 0.5 * (x - y * h);
        arc.centreB = from[c] + 0.5 * (y + x * h);
    } else {
        const double i = b.has(centreLetters[a]) ? length(b[centreLetters[a]], next) : 0;
        const double j = b.has(centreLetters[c]) ? length(b[centreLetters[c]], next) : 0;
        if (next.arcCentreAbsolute) {
            const PathPoint offset = offsetOf(next);
            arc.centreA = i + offset[a];
            arc.centreB = j + offset[c];
        } else {
            arc.centreA = from[a] + i;
            arc.centreB = from[c] + j;
        }
        const double r0 = std::hypot(from[a] - arc.centreA, from[c] - arc.centreB);
        const double r1 = std::hypot(to[a] - arc.centreA, to[c] - arc.centreB);
        if (!(r0 > 0)) return BlockIssue::ArcWithoutCentre;
        const double delta = std::fabs(r1 - r0);
        if (delta > kArcRadiusSlack && (delta > kArcRadiusLimit || delta > kArcRadiusRelative * r0))
            return BlockIssue::ArcEndOffCircle;
    }
    const double ra = from[a] - arc.centreA;
    const double rb = from[c] - arc.centreB;
    const double ta = to[a] - arc.centreA;
    const double tb = to[c] - arc.centreB;
    double sweep = std::atan2(ra * tb - rb * ta, ra * ta + rb * tb);
    if (clockwise) {
        if (sweep >= -kArcAngleEpsilon) sweep -= kTwoPi;
    } else if (sweep <= kArcAngleEpsilon) {
        sweep += kTwoPi;
    }
    if (b.has('P')) {
        const double turns = b['P'];
        if (!isWhole(turns) || turns < 1 || turns > kMaxCycleMoves) return BlockIssue::ArcTurns;
        sweep += (clockwise ? -kTwoPi : kTwoPi) * (std::round(turns) - 1);
    }
    arc.sweep = sweep;

    Pending p;
    p.event = Event::Arc;
    p.to = to;
    p.arc = arc;
    p.move = {false, next.feed,
              (next.spindle == 3 || next.spindle == 4) && (next.speed > 0 || !next.speedGiven)};
    pending_.push_back(p);
    next.position = to;
    return BlockIssue::None;
}

BlockIssue GCodeInterpreter::drillCycle(State& next, int code) {
    const GCodeBlock& b = block_;
    if (next.plane != ArcPlane::XY) return BlockIssue::CycleNotInXyPlane;
    if (!(next.feed > 0)) return BlockIssue::NoFeed;
    if (b.has('Z')) {
        next.cycleZ = length(b['Z'], next);
        next.cycleZGiven = true;
    }
    if (b.has('R')) {
        next.cycleR = length(b['R'], next);
        next.cycleRGiven = true;
    }
    if (b.has('Q')) next.cycleQ = length(b['Q'], next);
    if (b.has('P')) next.cycleP = b['P'];
    const bool pecks = code == 830 || code == 730;
    if (!next.cycleZGiven || !next.cycleRGiven || (pecks && !(next.cycleQ > 0)))
        return BlockIssue::CycleDepth;
    double repeats = 1;
    if (b.has('L')) {
        repeats = b['L'];
        if (!isWhole(repeats) || repeats < 1) return BlockIssue::CycleRepeats;
    }

    const PathPoint offset = offsetOf(next);
    if (!next.inCycles) {
        next.cycleStartZ = next.position.Z;
        next.inCycles = true;
    }
    double startZ = next.cycleStartZ;
    double r = 0;
    double bottom = 0;
    PathPoint step;
    PathPoint hole = next.position;
    if (next.incremental) {
        r = startZ + next.cycleR;
        bottom = r + next.cycleZ;
        if (b.has('X')) step.X = length(b['X'], next);
        if (b.has('Y')) step.Y = length(b['Y'], next);
    } else {
        r = next.cycleR + offset.Z;
        bottom = next.cycleZ + offset.Z;
        if (b.has('X')) hole.X = length(b['X'], next) + offset.X;
        if (b.has('Y')) hole.Y = length(b['Y'], next) + offset.Y;
    }
    if (r < bottom) return BlockIssue::CycleDepth;
    const double pecksPerHole = pecks ? (r - bottom) / next.cycleQ : 0;
    const double moves = repeats * (3 * pecksPerHole + 5);
    if (moves > kMaxCycleMoves || moves > static_cast<double>(moveBudget_))
        return BlockIssue::CycleRepeats;

    if (startZ < r) {
        straight(next, {next.position.X, next.position.Y, r}, true);
        startZ = r;
    }
    const double clear = next.retractToR ? r : startZ;
    const auto at = [&hole](double z) { return PathPoint{hole.X, hole.Y, z}; };
    for (long long i = 0; i < std::llround(repeats); ++i) {
        if (next.incremental) {
            hole.X = next.position.X + step.X;
            hole.Y = next.position.Y + step.Y;
        }
        straight(next, at(startZ), true);
        if (startZ != r) straight(next, at(r), true);
        if (pecks) {
            for (double depth = r - next.cycleQ; depth > bottom; depth -= next.cycleQ) {
                straight(next, at(depth), false);
                if (code == 830) straight(next, at(r), true);
                straight(next, at(depth + kPeckBackOff), true);
            }
        }
        straight(next, at(bottom), false);
        if (code == 820) {
            Pending p;
            p.event = Event::Dwell;
            p.seconds = next.cycleP;
            pending_.push_back(p);
        }
        straight(next, at(clear), true);
        startZ = clear;
    }
    return BlockIssue::None;
}
