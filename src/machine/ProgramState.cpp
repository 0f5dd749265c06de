#include "machine/ProgramState.h"

#include <cctype>
#include <cmath>

#include "lib/NumberText.h"

namespace {

constexpr double kMmPerInch = 25.4;

struct Words {
    std::array<double, 3> axis{};
    std::array<bool, 3> axisGiven{};
    std::array<double, 3> ijk{};
    bool rGiven = false;
    double r = 0;
    bool fGiven = false;
    double f = 0;
    bool sGiven = false;
    double s = 0;
    bool pGiven = false;
    double p = 0;
    int motion = -2;  // -2 none given
    bool dwell = false;
    bool nonModalAxes = false;  // G10, G28, G30, G53, G92: axis words are no move
    bool machine = false;       // G53, G28, G30
    int spindle = 0;
};

void readWords(std::string_view line, Words& w, ProgramState& state) {
    std::size_t i = 0;
    while (i < line.size()) {
        const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(line[i])));
        ++i;
        if (!std::isalpha(static_cast<unsigned char>(letter))) continue;
        std::size_t used = 0;
        const double value = numtext::leadingNumber(line.substr(i), used);
        i += used;
        switch (letter) {
            case 'G': {
                const int whole = static_cast<int>(std::lround(value * 10));
                switch (whole) {
                    case 0:
                    case 10:
                    case 20:
                    case 30:
                        w.motion = whole / 10;
                        break;
                    case 800:
                        w.motion = -1;
                        break;
                    case 40:
                        w.dwell = true;
                        break;
                    case 100:
                    case 920:
                        w.nonModalAxes = true;
                        break;
                    case 280:
                    case 300:
                    case 530:
                        w.nonModalAxes = true;
                        w.machine = true;
                        break;
                    case 170:
                        state.plane = 17;
                        break;
                    case 180:
                        state.plane = 18;
                        break;
                    case 190:
                        state.plane = 19;
                        break;
                    case 200:
                        state.inches = true;
                        break;
                    case 210:
                        state.inches = false;
                        break;
                    case 900:
                        state.incremental = false;
                        break;
                    case 910:
                        state.incremental = true;
                        break;
                    case 540:
                    case 550:
                    case 560:
                    case 570:
                    case 580:
                    case 590:
                        state.coordinateSystem = whole / 10;
                        break;
                    default:
                        break;
                }
                break;
            }
            case 'M': {
                const int m = static_cast<int>(std::lround(value));
                if (m == 3 || m == 4 || m == 5) w.spindle = m;
                if (m == 2 || m == 30) w.spindle = 5;
                break;
            }
            case 'X':
            case 'Y':
            case 'Z': {
                const std::size_t k = static_cast<std::size_t>(letter - 'X');
                w.axis[k] = value;
                w.axisGiven[k] = true;
                break;
            }
            case 'I':
            case 'J':
            case 'K':
                w.ijk[static_cast<std::size_t>(letter - 'I')] = value;
                break;
            case 'R':
                w.rGiven = true;
                w.r = value;
                break;
            case 'F':
                w.fGiven = true;
                w.f = value;
                break;
            case 'S':
                w.sGiven = true;
                w.s = value;
                break;
            case 'P':
                w.pGiven = true;
                w.p = value;
                break;
            default:
                break;
        }
    }
}

// The centre of an arc in the plane (axes a, b) from I/J/K offsets or a radius.
std::array<double, 3> arcCentre(const std::array<double, 3>& from, const std::array<double, 3>& to,
                                const Words& w, std::size_t a, std::size_t b, bool clockwise,
                                double scale) {
    std::array<double, 3> c = from;
    if (!w.rGiven) {
        const std::size_t offsetA = a, offsetB = b;  // I, J, K follow X, Y, Z
        c[a] = from[a] + w.ijk[offsetA] * scale;
        c[b] = from[b] + w.ijk[offsetB] * scale;
        return c;
    }
    // GRBL's radius form: a negative R takes the longer way round.
    const double r = w.r * scale;
    const double dx = to[a] - from[a], dy = to[b] - from[b];
    const double chordSqr = dx * dx + dy * dy;
    double h = 4 * r * r - chordSqr;
    h = h > 0 && chordSqr > 0 ? -std::sqrt(h) / std::sqrt(chordSqr) : 0;
    if (!clockwise) h = -h;
    if (r < 0) h = -h;
    c[a] = from[a] + 0.5 * (dx - dy * h);
    c[b] = from[b] + 0.5 * (dy + dx * h);
    return c;
}

}  // namespace

ProgramState::Effect ProgramState::apply(std::string_view line) {
    Words w;
    readWords(line, w, *this);
    Effect effect;
    const double scale = inches ? kMmPerInch : 1.0;
    if (w.fGiven) feed = w.f * scale;
    if (w.sGiven && w.s != speed) {
        speed = w.s;
        effect.spindleChanged = true;
    }
    if (w.spindle != 0 && w.spindle != spindle) {
        spindle = w.spindle;
        effect.spindleChanged = true;
    }
    if (w.dwell) {
        effect.dwell = true;
        effect.dwellSeconds = w.pGiven ? w.p : 0;
    }
    if (w.motion != -2) motion = w.motion;
    const bool anyAxis = w.axisGiven[0] || w.axisGiven[1] || w.axisGiven[2];
    if (!anyAxis) return effect;
    if (w.nonModalAxes) {
        effect.machineCoordinates = w.machine;
        // A move in machine coordinates leaves the work position unknown to
        // this reading; G10 and G92 only change offsets.
        if (w.machine)
            for (std::size_t k = 0; k < 3; ++k)
                if (w.axisGiven[k]) known[k] = false;
        return effect;
    }
    if (motion < 0) return effect;
    effect.from = position;
    std::array<double, 3> to = position;
    for (std::size_t k = 0; k < 3; ++k) {
        if (!w.axisGiven[k]) continue;
        to[k] = incremental ? position[k] + w.axis[k] * scale : w.axis[k] * scale;
        known[k] = true;
    }
    effect.moved = true;
    effect.rapid = motion == 0;
    effect.zOnlyFeed = motion == 1 && w.axisGiven[2] && !w.axisGiven[0] && !w.axisGiven[1];
    if (motion == 2 || motion == 3) {
        effect.arc = true;
        effect.clockwise = motion == 2;
        const std::size_t a = plane == 17 ? 0 : plane == 18 ? 2 : 1;
        const std::size_t b = plane == 17 ? 1 : plane == 18 ? 0 : 2;
        effect.centre = arcCentre(position, to, w, a, b, effect.clockwise, scale);
    }
    position = to;
    return effect;
}
