#include "machine/MachineTexts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "gcode/MoveNumber.h"
#include "lib/Win1251.h"

namespace {

std::string mm(double value) { return movenumber::fixedText(value, 1, false, ','); }

}  // namespace

std::string StateText(const GrblStatus& status) {
    const std::string& s = status.state;
    if (s == "Idle") return cp("Покой");
    if (s == "Run") return cp("Работа");
    if (s == "Hold") return status.subState == 1 ? cp("Останавливается…") : cp("Пауза");
    if (s == "Jog") return cp("Перемещение");
    if (s == "Alarm") return cp("Авария");
    if (s == "Door") return cp("Дверь открыта");
    if (s == "Check") return cp("Проверка программы");
    if (s == "Home") return cp("Поиск нуля");
    if (s == "Sleep") return cp("Сон");
    return s.empty() ? cp("Нет связи") : s;
}

std::string ClockText(double seconds) {
    const long long s = seconds < 0 ? 0 : std::llround(seconds);
    char buffer[32];
    if (s >= 3600)
        std::snprintf(buffer, sizeof buffer, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    else
        std::snprintf(buffer, sizeof buffer, "%lld:%02lld", s / 60, s % 60);
    return buffer;
}

double SecondsLeft(const MachineProgram& program, std::size_t executed, int feedOverride) {
    const double left = program.totalSeconds() - program.secondsBefore(executed);
    return std::max(0.0, left) * 100.0 / std::max(1, feedOverride);
}

std::string ProgramSummary(const MachineProgram& program) {
    std::string text = "Строк: " + std::to_string(program.size()) + ".";
    const ProgramExtent& e = program.extent();
    for (std::size_t k = 0; k < 3; ++k)
        if (e.used[k])
            text += std::string(" ") + "XYZ"[k] + " от " + mm(e.min[k]) + " до " + mm(e.max[k]) +
                    " мм.";
    text += " Время около " + ClockText(program.totalSeconds()) + ".";
    return cp(text);
}
