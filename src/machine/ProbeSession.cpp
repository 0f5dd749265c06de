#include "machine/ProbeSession.h"

#include <memory>

#include "gcode/MoveNumber.h"
#include "lib/Win1251.h"
#include "machine/GrblMessages.h"
#include "machine/MachineConnection.h"
#include "machine/MachineProgram.h"

namespace {

std::string mm(double v) { return movenumber::fixedText(v, 3, true); }

}  // namespace

ProbeSession::ProbeSession(MachineConnection& machine, QObject* parent)
    : QObject(parent), machine_(machine) {
    connect(&machine_, &MachineConnection::probed, this,
            [this](const std::array<double, 3>& at, bool touched) {
                if (phase_ == Phase::None) return;
                if (!touched) missed_ = true;
                touches_.push_back(at);
                if (phase_ == Phase::Grid) emit pointProbed(touches_.size(), order_.size());
            });
    connect(&machine_, &MachineConnection::jobFinished, this, [this] { finished(); });
    connect(&machine_, &MachineConnection::jobStopped, this,
            [this](const JobStop& stop) { stopped(stop); });
    connect(&machine_, &MachineConnection::disconnected, this, [this](const std::string& why) {
        if (phase_ == Phase::None) return;
        phase_ = Phase::None;
        emit failed(why);
    });
}

void ProbeSession::start(const std::vector<std::string>& lines, Phase phase) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    MachineJob job;
    job.program = std::make_shared<const MachineProgram>(MachineProgram::fromText(text));
    phase_ = phase;
    touches_.clear();
    missed_ = false;
    machine_.start(job);
}

void ProbeSession::probeGrid(const ProbeGrid& grid) {
    grid_ = grid;
    order_ = ProbeOrder(grid);
    start(ProbeGridLines(grid), Phase::Grid);
}

void ProbeSession::zeroByTouchPlate(double thickness, double depth, double feed, double retract) {
    thickness_ = thickness;
    retract_ = retract;
    order_.clear();
    start(TouchPlateLines(depth, feed), Phase::Touch);
}

std::string ProbeSession::pointName(std::size_t index) const {
    if (index >= order_.size()) return cp("под инструментом");
    return cp("в точке " + std::to_string(index + 1) + " из " + std::to_string(order_.size()) +
              " (X " + mm(order_[index][0]) + ", Y " + mm(order_[index][1]) + ")");
}

void ProbeSession::finished() {
    const Phase phase = phase_;
    if (phase == Phase::None) return;
    phase_ = Phase::None;
    if (phase == Phase::Zero) {
        emit zeroSet();
        return;
    }
    const std::size_t expected = phase == Phase::Grid ? order_.size() : 1;
    if (missed_ || touches_.size() != expected) {
        emit failed(cp("Щуп не коснулся заготовки ") + pointName(touches_.size()) +
                    cp(": опустите ноль Z ближе к заготовке или увеличьте глубину поиска."));
        return;
    }
    if (phase == Phase::Touch) {
        const std::vector<std::string> lines =
            TouchPlateZeroLines(touches_[0][2], machine_.status().machine[2], thickness_, retract_);
        start(lines, Phase::Zero);
        return;
    }
    HeightMap map;
    map.columns = grid_.columns;
    map.rows = grid_.rows;
    map.x0 = grid_.x0;
    map.y0 = grid_.y0;
    map.x1 = grid_.x1;
    map.y1 = grid_.y1;
    map.z.assign(map.columns * map.rows, 0);
    const std::array<double, 3> offset = machine_.status().offset;
    map.workOffset = offset;
    for (std::size_t i = 0; i < order_.size(); ++i) {
        const std::size_t row = i / map.columns;
        const std::size_t k = i % map.columns;
        const std::size_t column = row % 2 == 0 ? k : map.columns - 1 - k;
        map.z[row * map.columns + column] = touches_[i][2] - offset[2];
    }
    emit mapReady(map);
}

void ProbeSession::stopped(const JobStop& stop) {
    if (phase_ == Phase::None) return;
    phase_ = Phase::None;
    const std::string where = pointName(touches_.size());
    if (stop.why == JobStop::Why::Alarm && stop.code == 5)
        emit failed(cp("Щуп не коснулся заготовки ") + where +
                    cp(" на всей глубине поиска: станок остановлен (ALARM:5). Разблокируйте его, "
                       "опустите ноль Z ближе к заготовке или увеличьте глубину."));
    else if (stop.why == JobStop::Why::Alarm && stop.code == 4)
        emit failed(cp("Щуп касался уже в начале измерения ") + where +
                    cp(": станок остановлен (ALARM:4). Проверьте щуп и его провод, разблокируйте "
                       "станок."));
    else
        emit failed(cp("Измерение остановлено ") + where + ": " + stop.message);
}
