#pragma once

#include <QDialog>
#include <QPointer>
#include <array>
#include <string>
#include <vector>

class QRadioButton;
class FontPageSurface;
class frmFontPaint;
class Session;

// The font viewer: the session's CurrentFont() as a table of 128 cells, one
// page for the codes 0..127 and one for 128..255, each cell with the code, the
// character and the font's own drawing of it. It changes no file itself; a
// click on a cell opens that letter in the font editor, and a letter saved
// there shows on the page at once.
//
// The page buttons are "opt_1" ("0-127") and "opt_2" ("128-255"), the index in
// the name as the main window's lbl2_0/lbl2_1, each also with the int property
// "index". Handlers are public so that tests can run them as the user would.
class frmSrift final : public QDialog {
    Q_OBJECT
  public:
    explicit frmSrift(Session& session, QWidget* parent = nullptr);
    ~frmSrift() override;

    void Form_Load();
    void opt_Click(int index);
    // A click on the cell: its letter in the editor, opened or brought up.
    void picpic_MouseUp(int column, int row);
    // Esc and the close box: an open editor closes first, asking about its edits.
    void reject() override;

    // The editor opened from the page, while it is open.
    frmFontPaint* editor() const { return editor_; }

    double PageWidth = 0;
    double PageHeight = 0;

    std::array<QRadioButton*, 2> opt{};  // index 1 and 2 at positions 0 and 1
    FontPageSurface* picpic = nullptr;

  private:
    Session& session_;
    void DrawCellGrid();
    void DrawCharacterPage(int index);
    bool ReadLetterPoints(int code);
    void DrawLetterInCell(double x0, double y0);

    // The lines of the letter being drawn, as read.
    std::vector<std::string> spsPoint;
    int page_ = 0;  // the page shown; 0 before one is chosen
    QPointer<frmFontPaint> editor_;
};
