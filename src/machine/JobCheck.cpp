#include "machine/JobCheck.h"

#include <cmath>

#include "gcode/MoveNumber.h"
#include "lib/Win1251.h"
#include "machine/MachineProgram.h"
#include "machine/MachineTexts.h"
#include "machine/ProgramFit.h"

GCodeInterpreter::State MachineStartState(const GrblInfo& info, const GrblStatus& status) {
    GCodeInterpreter::State start;
    const auto point = [](const std::array<double, 3>& p) { return PathPoint{p[0], p[1], p[2]}; };
    start.position = point(status.machine);
    const GrblOffsets& offsets = info.offsets;
    if (offsets.known) {
        for (std::size_t k = 0; k < offsets.systems.size(); ++k) {
            start.systems[k] = point(offsets.systems[k]);
            start.systems[k].Z += offsets.toolLength;
        }
        start.shift = point(offsets.g92);
        start.home28 = point(offsets.g28);
        start.home30 = point(offsets.g30);
    }
    if (info.modes.known) {
        start.system = info.modes.system;
        start.inches = info.modes.inches;
        start.incremental = info.modes.incremental;
        start.plane = info.modes.plane == 18   ? ArcPlane::ZX
                      : info.modes.plane == 19 ? ArcPlane::YZ
                                               : ArcPlane::XY;
    }
    // The status report's offset is the newest word on the active system.
    PathPoint& active = start.systems[start.system];
    for (std::size_t k = 0; k < 3; ++k) active[k] = status.offset[k] - start.shift[k];
    return start;
}

JobCheck CheckJob(const MachineProgram& program, const GrblInfo& info, const GrblStatus& status,
                  bool offsetKnown) {
    JobCheck check;
    if (status.state == "Alarm") {
        check.refusal =
            cp("Станок в состоянии аварии: разблокируйте его ($X) или выполните поиск нуля "
               "($H), затем запустите программу снова.");
        return check;
    }
    if (status.state != "Idle") {
        check.refusal = cp("Станок не в покое (") + StateText(status) +
                        cp("): дождитесь остановки, разблокируйте его или выполните поиск нуля.");
        return check;
    }
    if (!offsetKnown) {
        check.refusal = cp("Станок ещё не сообщил ноль заготовки: подождите секунду и повторите.");
        return check;
    }
    auto path = std::make_shared<ProgramPath>(program, MachineStartState(info, status));
    if ((check.refusal = CheckPathFits(*path, info.settings))) return check;
    check.path = std::move(path);
    return check;
}

std::optional<std::string> CheckMapZero(const HeightMap& map,
                                        const std::array<double, 3>& workOffset) {
    if (!map.workOffset) return std::nullopt;
    constexpr double kSameZero = 0.01;
    for (std::size_t k = 0; k < 3; ++k) {
        if (std::fabs((*map.workOffset)[k] - workOffset[k]) <= kSameZero) continue;
        const auto mm = [](double v) { return movenumber::fixedText(v, 3, true); };
        return cp("Ноль заготовки по оси " + std::string(1, "XYZ"[k]) +
                  " не тот, от которого снята карта высот: тогда он был в " +
                  mm((*map.workOffset)[k]) + " мм станка, теперь в " + mm(workOffset[k]) +
                  " мм. Верните ноль или снимите карту заново.");
    }
    return std::nullopt;
}
