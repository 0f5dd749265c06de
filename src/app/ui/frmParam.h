#pragma once

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QToolButton;

// The parameters dialog: the machining settings, chosen from fixed lists.
// The save button writes the choices to the settings store; the close button
// reads the store back into the program and closes. The window's own close box
// does neither.
class frmParam final : public QDialog {
    Q_OBJECT
  public:
    explicit frmParam(QWidget* parent = nullptr);

    // Fills the lists and selects the settings the program uses now.
    void Form_Load();
    void cmdSave_Click();
    void cmdClose_Click();

    QComboBox* cboBezop = nullptr;
    QComboBox* cboBezopS = nullptr;
    QComboBox* cboSkorF = nullptr;
    QCheckBox* chk = nullptr;
    QCheckBox* chkRazrivVBukve = nullptr;
    QToolButton* cmdSave = nullptr;
    QToolButton* cmdClose = nullptr;
    std::array<QLabel*, 3> Metka1{};  // beside cboBezop, cboSkorF, cboBezopS
    QLabel* Metka2 = nullptr;         // unit beside cboBezop
    QLabel* Metka3 = nullptr;         // unit beside cboBezopS

  private:
    void buildControls();
};
