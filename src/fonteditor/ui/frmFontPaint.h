#pragma once

#include <QDialog>
#include <array>
#include <string>

#include "fonteditor/LetterEditing.h"
#include "fonteditor/LetterUndo.h"
#include "fonteditor/PointEditing.h"

class QAction;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QListWidget;
class QMenu;
class QMenuBar;
class QToolButton;
class LetterSurface;
class LetterSamplePanel;
class Session;

// The font editor: draws, shifts and saves the letters of the session's
// CurrentFont(), one letter at a time, as an ordered list of points. Opened
// modally; a letter with unsaved edits is closed only after a question.
//
// Controls carry their names as objectName; the three mode buttons are
// "optReg_0" .. "optReg_2" (index in the name, as the main window's lbl2_0/lbl2_1),
// each also with the int property "index".
// Handlers are public so that tests can run them as the user would.
class frmFontPaint final : public QDialog {
    Q_OBJECT
  public:
    explicit frmFontPaint(Session& session, QWidget* parent = nullptr);
    ~frmFontPaint() override;

    void Form_Load();
    void cboLiter_Click();
    void spsPoint_Click();
    void picMask_MouseDown(Qt::MouseButton button, double x, double y,
                           Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void picMask_MouseMove(double x, double y);
    void picMask_MouseUp(Qt::MouseButton button, double x, double y);
    void picMask_DblClick(Qt::MouseButton button, double x, double y,
                          Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void picMask_KeyUp(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void optReg_Click(int index);
    void cmdDelTema_Click();
    void mnuRazriv_Click();
    void cmdSavePoint_Click();
    void mnuLiterAs_Click();
    void mnuImport_Click();
    // Brings in an outline font installed on the computer.
    void mnuImportInstalled_Click();
    void cmdClose_Click();
    void mnuUndo_Click();
    void mnuRedo_Click();
    void mnuCopy_Click();
    void mnuPaste_Click();
    void mnuSelectAll_Click();
    void mnuMirror_Click(bool horizontal);
    void mnuScale_Click();
    void cmdFit_Click();
    // Puts the typed coordinates on the selected point.
    void txtXY_Enter();
    void mnuExit_Click() { cmdClose_Click(); }
    // Esc, the close box and the close commands all end here.
    void reject() override;

    // Brings up the letter with that code, as a choice in the letter list does
    // (asking first about unsaved edits); false when the list has no such entry.
    bool openLetter(int code);

    // Selects a mode as a click on its button does.
    void selectMode(int index);
    letteredit::Mode mode() const { return mode_; }
    const letteredit::Letter& letter() const { return letter_; }
    // The status line's text.
    QString status() const;

    QMenuBar* menuBar = nullptr;
    QMenu* mnuFail = nullptr;
    QAction* mnuLiterAs = nullptr;
    QAction* mnuRazriv = nullptr;
    QAction* mnuImport = nullptr;
    QAction* mnuImportInstalled = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuInf = nullptr;
    QMenu* mnuPravka = nullptr;
    QAction* mnuUndo = nullptr;
    QAction* mnuRedo = nullptr;
    QAction* mnuCopy = nullptr;
    QAction* mnuPaste = nullptr;
    QAction* mnuDelete = nullptr;
    QAction* mnuSelectAll = nullptr;
    QAction* mnuMirrorH = nullptr;
    QAction* mnuMirrorV = nullptr;
    QAction* mnuScale = nullptr;
    QToolButton* cmdFit = nullptr;
    QCheckBox* chkGrid = nullptr;
    QComboBox* cboGrid = nullptr;
    QCheckBox* chkSnap = nullptr;
    QDoubleSpinBox* txtX = nullptr;
    QDoubleSpinBox* txtY = nullptr;
    QToolButton* cmdClose = nullptr;
    QComboBox* cboLiter = nullptr;
    std::array<QToolButton*, 3> optReg{};
    QToolButton* cmdDelTema = nullptr;
    QToolButton* cmdSavePoint = nullptr;
    QListWidget* spsPoint = nullptr;
    LetterSurface* picMask = nullptr;
    LetterSamplePanel* sample = nullptr;

  signals:
    // A letter file of the font was written.
    void letterSaved(int code);

  private:
    Session& session_;
    void LoadLetter();
    bool SaveLetter(int code);
    void FillLetterList();
    void RedrawLetter();
    void DrawGuides();

    void buildMenus();
    void buildEditMenu();
    void buildControls();
    QLayout* buildViewControls();
    // After an edit: one undo step from `before`, and the letter shown anew.
    void recordEdit(const letteredit::Letter& before);
    // Shows the letter, its selection and what the edit commands may do.
    void showEdited();
    // Marks the selection on the drawing and puts the selected point in the fields.
    void showSelection();
    // Ends a press on the drawing: a drag becomes one undo step.
    void finishGesture();
    // The step of the grid shown, 0 when none is.
    double gridStep() const;
    // The point on the grid when snapping is on.
    letteredit::Point snapped(double x, double y) const;
    void buildSample();
    // The sample line follows the letter as it stands.
    void updateSample();
    // Point marks by default only where they do not bury the letter.
    void resetPointMarks();
    // Puts the model's points and selection into the point list.
    void showPoints();
    // Selects a letter entry and loads it without a question.
    void selectLetter(int position);
    // True when the letter shown has no unsaved edits or the user lets them go.
    bool mayDiscardEdits();
    // After an import: the font (list name, "" for none) and the letter to open (-1 for none).
    void showImported(const std::string& font, int letter);
    // Shows a letter entry as a letter of the font or, greyed, as one still to draw.
    void markExisting(int entry, bool exists);
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The point list's selected row, or -1; the current row alone selects nothing.
    int selectedRow() const;
    void setStatus(const std::string& text);
    std::string modeStatus() const;
    std::string caption() const;
    // Asks for the character to save as; empty on Cancel and, after a
    // message, for a character that no letter file can be named after.
    std::string askLetter(const std::string& prompt);
    // The code of the first character of an answer to a save question.
    static int codeOfAnswer(const std::string& answer);

    letteredit::Letter letter_;
    letteredit::Mode mode_ = letteredit::Mode::Area;
    bool statusShowsProblem_ = false;
    // The points as last read or saved, and the letter entry they belong to.
    std::vector<std::string> savedPoints_;
    int shownLetter_ = -1;

    letteredit::LetterUndo undo_;
    // A press of the left button on the drawing, until its release.
    enum class Gesture { None, Drag, Band };
    Gesture gesture_ = Gesture::None;
    bool gestureMoved_ = false;
    letteredit::Letter gestureBefore_;
    letteredit::Drag drag_;
    letteredit::Point pressAt_;
    letteredit::Point grabbed_;
    std::vector<std::size_t> bandBase_;
};
