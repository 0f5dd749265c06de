#pragma once

#include <QMainWindow>
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "main/PreviewGeometry.h"
#include "main/ProjectModel.h"
#include "main/ProjectSource.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QThreadPool;
class QTimer;
class QListView;
class QMenu;
class QPlainTextEdit;
class QToolButton;
class PenPointsListModel;
class PenPoints;
class PreviewScene;
class PreviewSurface;
class Session;
struct CutRule;
struct InterpretedRead;
struct MachiningFigures;
struct ViewBounds;
struct MachineProgramSource;

// The main window: hub of every command. It works on the session it is given
// and hands it to the windows it opens. Handlers are public so that tests can
// run them as the user would.
class frmGCode final : public QMainWindow {
    Q_OBJECT
  public:
    explicit frmGCode(Session& session, QWidget* parent = nullptr);
    ~frmGCode() override;

    // Start-up and the window's own commands.
    void Form_Load();
    void cmdClose_Click();
    void mnuClose_Click() { cmdClose_Click(); }
    void mnuHelp_Click();
    void mnuParam_Click();
    void mnuFontEdit_Click();
    void cmdMachine_Click();  // frmGCode_Machine.cpp
    void nmuOpen_Click();
    void sps_DblClick();
    void cmdReloadProject_Click() { mnuReloadProject_Click(); }

    // Projects, layout and G-code file (frmGCode_Project.cpp).
    void mnuNewProject_Click();
    void mnuOpenProject_Click();
    void mnuReloadProject_Click();
    // False when the file is no project (the window keeps what it showed).
    bool LoadProject(const std::string& path);
    void cmdSaveGCODE_Click();
    void cmdBatch_Click();  // frmGCode_Batch.cpp

    // Preview and G-code reading (frmGCode_Preview.cpp).
    void cmdPaint_Click();
    void mnuOpenCode_Click();
    void ReadGCodeFile(const std::string& path);
    // Another program's G-code, run by the interpreter whatever it holds.
    void mnuOpenOtherCode_Click();
    void ReadOtherProgramGCode(const std::string& path);

    // Editing the project in the window (frmGCode_Edit.cpp).
    void mnuSaveProject_Click();
    void mnuSaveProjectAs_Click();
    // Lays the edited project out now instead of after the pause in typing.
    void relayoutNow();
    bool isModified() const { return modified_; }
    const ProjectSource& source() const { return source_; }

    // Preview view and measuring (frmGCode_View.cpp).
    void cmdFit_Click();
    void cmdShowAll_Click();
    void cmdMeasure_Click();
    void cboMash_Change();

    // Window state.
    Project& project() { return project_; }
    long long DrawLimit = 0;                   // records the preview draws; 0 = all
    DrawingMode DrawMode = DrawingMode::None;  // None also after a failed read
    bool isBusy() const { return busy_; }
    // The machining figures are worked out beside the window; true until the
    // latest asked for are shown.
    bool isEstimating() const { return estimating_ || static_cast<bool>(pendingEstimate_); }

    // Controls, named as the user-facing parts they are.
    QMenu* mnuF = nullptr;
    QAction* mnuNewProject = nullptr;
    QAction* mnuOpenProject = nullptr;
    QAction* mnuReloadProject = nullptr;
    QAction* mnuSaveProject = nullptr;
    QAction* mnuSaveProjectAs = nullptr;
    QAction* saveGCodeAction = nullptr;
    QAction* mnuLine1 = nullptr;
    QAction* mnuFontEdit = nullptr;
    QAction* nmuOpen = nullptr;
    QAction* mnuExportPlate = nullptr;  // «Сохранить как SVG/DXF…»
    QAction* mnuOpenCode = nullptr;
    QAction* mnuOpenOtherCode = nullptr;
    QAction* mnuParam = nullptr;
    QAction* mnuLine2 = nullptr;
    QAction* mnuCloseAction = nullptr;
    QAction* mnuHelpAction = nullptr;
    QToolButton* cmdReloadProject = nullptr;
    QToolButton* cmdPaint = nullptr;
    QToolButton* cmdSaveGCODE = nullptr;
    QToolButton* cmdBatch = nullptr;
    QToolButton* cmdMachine = nullptr;  // only where the sender is built
    QToolButton* cmdClose = nullptr;
    QToolButton* cmdFit = nullptr;
    QToolButton* cmdShowAll = nullptr;
    QToolButton* cmdMeasure = nullptr;
    QLabel* lblCursor = nullptr;
    QLabel* lblMeasure = nullptr;
    QLabel* lblMissing = nullptr;
    QLabel* lblPlacement = nullptr;       // lines the layout could not place as asked
    QLabel* lblEstimate = nullptr;        // writing, travel, lifts and time of the list
    QLabel* lblParameterFault = nullptr;  // what is wrong with the parameter fields
    QLabel* lblReading = nullptr;         // how the G-code file shown was read
    // Line spacing, field width, letter height, width factor.
    std::array<QLineEdit*, 4> txtParameters{};
    // «Зеркально»: the project's <@MIRROR> tag, put into the text or taken out.
    QCheckBox* chkMirror = nullptr;
    QComboBox* cboShrift = nullptr;
    QComboBox* cboMash = nullptr;
    PreviewSurface* pic = nullptr;
    QListView* sps = nullptr;
    QPlainTextEdit* txtPaint = nullptr;
    std::array<QLabel*, 2> lbl2{};
    PenPointsListModel* spsModel = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    // Sets the session's CurrentFont from the font list; shows the message and returns false when
    // there is none.
    bool checkFont();
    // Runs a long command unless another one runs; pending events may run meanwhile.
    template <typename F>
    void runExclusive(F&& command);
    std::string windowCaption() const;
    void buildMenus();
    void buildControls();
    void buildViewControls();
    QWidget* buildEditControls();
    // Shows the project's lines in the editors without taking it for an edit.
    void showSource();
    void sourceEdited();
    // Marks the parameter fields that cannot be laid out and says why; false
    // when there is such a field.
    bool markParameterFaults();
    // Nothing is kept or written from a value the fields mark: says so, naming
    // the fields, after `refused` (what is not done); true when it refused.
    bool refuseForParameterFaults(const char* refused);
    // The faults of the fields, one a line after a line break; empty when none.
    std::string parameterFaults() const;
    // Plates (frmGCode_Plate.cpp): the mirror check box follows the text.
    QCheckBox* buildMirrorBox(QWidget* parent);
    void chkMirror_Toggled(bool on);

  public:
    // The laid-out plate as an SVG or a DXF drawing, by the name's extension.
    void mnuExportPlate_Click();

  private:
    void showMirrorState();
    void layOutProject(bool withMessages);
    void markMissingLetters(const std::array<bool, 256>& missing);
    bool saveProjectTo(const std::string& path);
    // Asks for a project file's name in the folder, and again after a No to
    // replacing a file of that name; empty when the user cancels.
    std::string askProjectPath(const std::string& folder, const std::string& proposed);
    // Asks about unsaved edits; false when the caller must not go on.
    bool unsavedChangesHandled();
    // Draws the preview up to `limit` records (0: all, then stored back).
    void drawPreview(long long& limit);
    // Draws it anew after new content, a view change or a selection.
    void refreshPreview();
    // The list and the preview follow each other's selection.
    void showSelectedMove();
    void selectListLine(std::size_t record);
    void showMeasure();
    void showCursor(double x, double y);
    void showZoom();
    // The figures of the laid-out list, or of a G-code file read, with the
    // chosen profile's machine (frmGCode_Estimate.cpp).
    void estimateLaidOut();
    void estimateFile(const std::string& path);
    // Takes a read file's records as the list and the picture's content.
    void showReadFile(std::shared_ptr<PenPoints> points, const ViewBounds& bounds);
    // Draws an interpreted file, its figures, and what the picture lacks.
    // `why` says in the status bar note's tooltip why the file was read so.
    void showInterpretedFile(const std::string& path, const InterpretedRead& read,
                             const QString& why);
    void startEstimate(std::function<MachiningFigures()> job, const std::string& profileName);
    void runPendingEstimate();
    void showEstimate(std::uint64_t generation, const QString& text, const QString& tip);

    Session& session_;
    Project project_;
    bool busy_ = false;
    // A redraw asked for while one is drawing would be overwritten by the older
    // picture when the outer one ends, so it is refused.
    bool drawing_ = false;
    // The save writes only a list laid out from the current project: not a
    // G-code file that was read, nor an older project's list after a new one
    // was created.
    bool listIsRead_ = false;
    bool projectNotLaidOut_ = false;
    // The preview's moves, walked again only when the tool path or its mode changes.
    std::shared_ptr<const PreviewScene> scene_;
    std::shared_ptr<const PenPoints> scenePoints_;
    DrawingMode sceneMode_ = DrawingMode::None;
    // New content (a file read, an opened project) is first shown at the listed scale.
    bool freshView_ = true;
    // The project's lines as the editors show them; the template's until a project is read.
    ProjectSource source_;
    bool modified_ = false;
    bool showingSource_ = false;
    QTimer* layoutTimer_ = nullptr;
    // One estimate runs at a time; a newer request waits and replaces any
    // older waiting one, and a result is shown only while it is the newest.
    std::unique_ptr<QThreadPool> estimates_;
    std::function<void()> pendingEstimate_;
    bool estimating_ = false;
    std::uint64_t estimateGeneration_ = 0;
    std::string readFile_;  // the G-code file the list holds, for a new estimate
    // How the interpreter told its cutting moves; none for a file read word by word.
    std::shared_ptr<const CutRule> readCutRule_;
    QWidget* machineWindow_ = nullptr;  // the «Станок» window once opened
    // Where the «Станок» window drives a machine, it asks and stops it before
    // the program goes; false: the user chose to stay.
    bool machineReleased();
#ifdef VEZOR_MACHINE
    MachineProgramSource programForMachine();
#endif
};

template <typename F>
void frmGCode::runExclusive(F&& command) {
    if (busy_) return;
    busy_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{busy_};
    command();
}
