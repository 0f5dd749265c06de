#pragma once

#include <QObject>
#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "gcode/HeightMap.h"
#include "machine/MachineJob.h"
#include "machine/ProbePlan.h"

class MachineConnection;

// Probing through the sender, for the window and the command line alike: a
// grid into a height map, or a Z zero by a touch plate. A probe that finds
// nothing (ALARM:5) or that touches before it moves (ALARM:4) stops
// everything, and the message names the point.
class ProbeSession final : public QObject {
    Q_OBJECT
  public:
    explicit ProbeSession(MachineConnection& machine, QObject* parent = nullptr);

    void probeGrid(const ProbeGrid& grid);
    void zeroByTouchPlate(double thickness, double depth, double feed, double retract);
    bool running() const { return phase_ != Phase::None; }

  signals:
    void pointProbed(std::size_t done, std::size_t total);
    void mapReady(const HeightMap& map);
    void zeroSet();
    // Windows-1251.
    void failed(const std::string& message);

  private:
    enum class Phase { None, Grid, Touch, Zero };

    void start(const std::vector<std::string>& lines, Phase phase);
    void finished();
    void stopped(const JobStop& stop);
    std::string pointName(std::size_t index) const;

    MachineConnection& machine_;
    Phase phase_ = Phase::None;
    ProbeGrid grid_;
    std::vector<std::array<double, 2>> order_;
    std::vector<std::array<double, 3>> touches_;  // machine coordinates
    bool missed_ = false;
    double thickness_ = 0;
    double retract_ = 0;
};
