#include "machine/ProgramFit.h"

#include <cmath>

#include "gcode/MoveNumber.h"
#include "lib/Win1251.h"

namespace {

std::string mm(double value) { return movenumber::fixedText(value, 3, true); }

// Rounding to GRBL's own resolution keeps a program that ends exactly on the
// limit inside it.
constexpr double kTolerance = 0.0005;

}  // namespace

std::optional<std::string> CheckProgramFits(const ProgramExtent& extent,
                                            const GrblSettings& settings,
                                            const std::array<double, 3>& workOffset) {
    const auto travel = settings.travel();
    if (!travel)
        return cp(
            "Станок не сообщил свой ход ($130–$132): размеры программы проверить нельзя. "
            "Переподключитесь к станку.");
    const char axes[] = {'X', 'Y', 'Z'};
    for (std::size_t k = 0; k < 3; ++k) {
        if (!extent.used[k]) continue;
        const std::string axis(1, axes[k]);
        const double limit = (*travel)[k];
        if (settings.softLimits()) {
            const double low = extent.min[k] + workOffset[k];
            const double high = extent.max[k] + workOffset[k];
            const double below = -limit - low;
            const double above = high;
            if (below > kTolerance || above > kTolerance) {
                const bool under = below > above;
                return cp("Программа выходит за пределы хода станка по оси " + axis + " на " +
                          mm(under ? below : above) + " мм " + (under ? "в минус" : "в плюс") +
                          ": в координатах станка она идёт от " + mm(low) + " до " + mm(high) +
                          " мм, а ход станка от " + mm(-limit) +
                          " до 0 мм. Сдвиньте ноль заготовки по оси " + axis + ".");
            }
        } else {
            const double size = extent.max[k] - extent.min[k];
            if (size - limit > kTolerance)
                return cp("Программа больше хода станка по оси " + axis + " на " +
                          mm(size - limit) + " мм: её размер " + mm(size) + " мм, ход станка " +
                          mm(limit) + " мм ($13" + std::to_string(k) + ").");
        }
    }
    return std::nullopt;
}

std::optional<std::string> CheckPathFits(const ProgramPath& machinePath,
                                         const GrblSettings& settings) {
    if (auto refusal = CheckProgramFits(machinePath.extent(), settings, {})) return refusal;
    if (settings.softLimits()) return std::nullopt;
    const auto travel = settings.travel();
    const ProgramExtent& reach = machinePath.reach();
    const char axes[] = {'X', 'Y', 'Z'};
    for (std::size_t k = 0; k < 3; ++k) {
        const double size = reach.max[k] - reach.min[k];
        const double limit = (*travel)[k];
        if (size - limit <= kTolerance) continue;
        const std::string axis(1, axes[k]);
        return cp("Программа выходит за ход станка по оси " + axis + " на " + mm(size - limit) +
                  " мм: вместе с местом, где сейчас стоит инструмент, она занимает " + mm(size) +
                  " мм (от " + mm(reach.min[k]) + " до " + mm(reach.max[k]) +
                  " мм в координатах станка), а ход станка " + mm(limit) + " мм ($13" +
                  std::to_string(k) + "). Проверьте ноль заготовки и место инструмента.");
    }
    return std::nullopt;
}
