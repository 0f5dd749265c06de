#pragma once

#include <QWidget>
#include <functional>
#include <optional>

#include "gcode/HeightMap.h"
#include "machine/ProgramPath.h"

class MachineConnection;
class ProbeSession;
class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;

// «Карта высот»: a Z zero by a touch plate, a grid probed over the plate into
// a height map, shown in colour with its range, saved and loaded as a table,
// and written by: with «Писать по карте» the machine window sends its program
// following the surface. Handlers are public for the tests.
class frmHeightMap final : public QWidget {
    Q_OBJECT
  public:
    // `programExtent` gives the extent of the program the machine window holds.
    frmHeightMap(MachineConnection& machine,
                 std::function<std::optional<ProgramExtent>()> programExtent,
                 QWidget* parent = nullptr);

    void cmdAreaFromProgram_Click();
    void cmdTouchPlate_Click();
    void cmdProbe_Click();
    void cmdLoad_Click();
    void cmdSave_Click();
    // Takes a map as if probed or loaded (a test's, or the command line's).
    void setMap(const HeightMap& map);
    const std::optional<HeightMap>& map() const { return map_; }
    bool applied() const;
    bool probing() const;

    QDoubleSpinBox* spnX0 = nullptr;
    QDoubleSpinBox* spnY0 = nullptr;
    QDoubleSpinBox* spnX1 = nullptr;
    QDoubleSpinBox* spnY1 = nullptr;
    QPushButton* cmdAreaFromProgram = nullptr;
    QSpinBox* spnColumns = nullptr;
    QSpinBox* spnRows = nullptr;
    QDoubleSpinBox* spnProbeFeed = nullptr;
    QDoubleSpinBox* spnRetract = nullptr;
    QDoubleSpinBox* spnDepth = nullptr;
    QDoubleSpinBox* spnPlate = nullptr;
    QPushButton* cmdTouchPlate = nullptr;
    QPushButton* cmdProbe = nullptr;
    QPushButton* cmdLoad = nullptr;
    QPushButton* cmdSave = nullptr;
    QCheckBox* chkApply = nullptr;
    QLabel* lblPicture = nullptr;
    QLabel* lblRange = nullptr;
    QProgressBar* prgProbe = nullptr;

  signals:
    // The map or whether it is written by changed.
    void mapChanged();

  private:
    void showMap();
    void updateControls();
    void tell(const std::string& text1251);

    MachineConnection& machine_;
    std::function<std::optional<ProgramExtent>()> programExtent_;
    ProbeSession* probe_ = nullptr;
    std::optional<HeightMap> map_;
    std::string folder_;  // where the last map was loaded or saved
};

// The map as a picture: the surface in colour from blue (lowest) through
// green to red (highest), the probed points as dots, and `extent` (the
// program's, in the same coordinates) as a black frame.
QImage HeightMapPicture(const HeightMap& map, const std::optional<ProgramExtent>& extent,
                        QSize size);
