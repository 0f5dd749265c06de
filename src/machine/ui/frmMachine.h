#pragma once

#include <QWidget>
#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "machine/MachineJob.h"

class MachineConnection;
class MachineProgram;
class ProgramPath;
class frmHeightMap;
class ProgramView;
class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QDoubleSpinBox;
class QTimer;

// The program the main window has: its name and its G-code text.
struct MachineProgramSource {
    std::string name;  // Windows-1251
    std::string text;  // the G-code; empty: none, with `message` saying why
    std::string message;
};

// The «Станок» window: a GRBL machine on a serial port. Connects, shows the
// state and position, unlocks, homes, jogs, sets the work zero, frames the
// program, starts, holds, resumes and stops it, resumes from a line after a
// stop, and tells GRBL's errors and alarms in Russian. The streaming runs on
// its own thread (MachineConnection). Handlers are public for the tests.
class frmMachine final : public QWidget {
    Q_OBJECT
  public:
    frmMachine(std::function<MachineProgramSource()> programSource, QWidget* parent = nullptr);
    ~frmMachine() override;

    void cmdPorts_Click();
    void cmdConnect_Click();
    void cmdTakeProgram_Click() { takeProgram(true); }
    // Takes the main window's program; without one it says so only when asked to.
    void takeProgram(bool tellWhenNone);
    void cmdFrame_Click();
    void cmdStart_Click();
    void cmdStop_Click();
    void cmdStrokeStart_Click();
    void cmdResumeFrom_Click();
    // «Продолжить»: after a tool change or a pause of the program, the
    // program from the line after it; otherwise cycle start after a hold.
    void cmdResume_Click();
    void cmdHeightMap_Click();
    frmHeightMap* heightMapWindow() { return heightMap_; }
    void jog(int axis, int direction);
    void setZero(const std::string& axes);
    // Before the window or the program goes: where the machine moves or a
    // job runs, asks, then stops it (hold, then reset: spindle and laser
    // off) and closes the port, waiting a bounded time. False: the user
    // chose to stay.
    bool releaseMachine();

    MachineConnection& machine() { return *machine_; }
    const std::shared_ptr<MachineProgram>& program() const { return program_; }

    QComboBox* cboPort = nullptr;
    QPushButton* cmdPorts = nullptr;
    QComboBox* cboBaud = nullptr;
    QPushButton* cmdConnect = nullptr;
    QLabel* lblState = nullptr;
    QLabel* lblPosition = nullptr;
    QLabel* lblMachinePosition = nullptr;
    QLabel* lblFeed = nullptr;
    QPushButton* cmdUnlock = nullptr;
    QPushButton* cmdHome = nullptr;
    QPushButton* cmdReset = nullptr;
    QComboBox* cboJogStep = nullptr;
    QSpinBox* spnJogFeed = nullptr;
    std::array<QPushButton*, 6> cmdJog{};   // X-, X+, Y-, Y+, Z-, Z+
    std::array<QPushButton*, 4> cmdZero{};  // X, Y, Z, all
    QLabel* lblProgram = nullptr;
    QPushButton* cmdTakeProgram = nullptr;
    QCheckBox* chkCheckFirst = nullptr;
    QPushButton* cmdFrame = nullptr;
    QSpinBox* spnFramePower = nullptr;
    QPushButton* cmdStart = nullptr;
    QPushButton* cmdHold = nullptr;
    QPushButton* cmdResume = nullptr;
    QPushButton* cmdStop = nullptr;
    QSpinBox* spnFeedOverride = nullptr;
    QSpinBox* spnSpindleOverride = nullptr;
    QProgressBar* prgJob = nullptr;
    QLabel* lblTimeLeft = nullptr;
    QSpinBox* spnResumeLine = nullptr;
    QLabel* lblResumeLine = nullptr;
    QPushButton* cmdStrokeStart = nullptr;
    QPushButton* cmdResumeFrom = nullptr;
    QPushButton* cmdHeightMap = nullptr;
    QPlainTextEdit* txtLog = nullptr;
    ProgramView* view = nullptr;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    QWidget* buildConnection();
    QWidget* buildMotion();
    QWidget* buildJob();
    void wireMachine();
    void updateControls();
    // The program from the main window's text, by the height map where one is written by.
    void buildProgram();
    void showStatus();
    void showProgress(std::size_t executed, std::size_t total);
    void showResumeLine();
    void log(const std::string& text1251);
    void tell(const std::string& text1251);
    // The checks before anything moves: the program's path on this machine,
    // or null with a message when it must not start.
    std::shared_ptr<const ProgramPath> readyToRun();
    void startJob(MachineJob job);
    void jobEnded(const QString& barFormat);
    // The machine moves, holds mid-move, or its spindle or laser is on.
    bool machineBusy() const;
    // The height map's window runs a probe job.
    bool probing() const;

    std::function<MachineProgramSource()> programSource_;
    std::unique_ptr<MachineConnection> machine_;
    std::shared_ptr<MachineProgram> program_;       // as it goes to the machine
    std::shared_ptr<MachineProgram> plainProgram_;  // without the height map
    std::string sourceText_;
    frmHeightMap* heightMap_ = nullptr;
    // After a tool change or a program pause: the line to go on from.
    std::optional<std::size_t> pausedAt_;
    std::string programName_;
    bool confirmedSinceConnect_ = false;
    // The arrow key that jogs while held; 0 none. A release waits a moment
    // before it cancels: X sends a key's repeats as release-press pairs.
    int jogKey_ = 0;
    QTimer* jogRelease_ = nullptr;
    // After a check-mode run, the job that runs for real.
    std::optional<MachineJob> afterCheck_;
    bool framing_ = false;  // the job running is the frame
    std::shared_ptr<const MachineProgram> running_;
    std::size_t executed_ = 0;
    bool lossLogged_ = false;
};
