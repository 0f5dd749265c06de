#pragma once

#include <QDialog>
#include <array>
#include <map>
#include <string>
#include <vector>

#include "gcode/ProfileForm.h"

struct MachiningSettings;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QToolButton;

// The parameters dialog: the machining settings and the output profile. The
// save button writes the choices (and the edits of the user's own profile) to
// the settings store; the close button reads the store back into the settings
// the program uses and closes. The window's own close box does neither.
class frmParam final : public QDialog {
    Q_OBJECT
  public:
    explicit frmParam(MachiningSettings& inUse, QWidget* parent = nullptr);

    // Fills the lists and selects the settings the program uses now.
    void Form_Load();
    void cmdSave_Click();
    void cmdClose_Click();
    // The profile chosen in the list: its values, editable when it is the user's.
    void cboProfil_Change();
    // Asks a name and keeps the shown values as a new profile of the user's.
    void cmdCopyProfile_Click();
    void cmdDeleteProfile_Click();

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

    QComboBox* cboProfil = nullptr;
    QPushButton* cmdCopyProfile = nullptr;
    QPushButton* cmdDeleteProfile = nullptr;
    QLabel* lblProfil = nullptr;  // whether the shown profile can be edited
    QTabWidget* tabs = nullptr;
    // The profile's value controls by stored key (line edits, text boxes, check boxes).
    std::map<std::string, QWidget*> profileControls;

  private:
    MachiningSettings& inUse_;
    void buildControls();
    QWidget* buildSettingsTab();
    QWidget* buildProfileTab();
    QWidget* buildPartsTab();
    QWidget* profileControl(const ProfileField& field);
    void showProfile(int index);
    ProfileValues shownValues() const;
    // The shown values read over the shown profile; a message and false when one
    // cannot be used (its control gets the focus).
    bool readShownProfile(GCodeProfile& profile);
    bool shownProfileEdited() const;
    // Offers to store the shown own profile's edits; false when they stay to be mended.
    bool unsavedProfileHandled();
    void refillProfiles(const std::string& select);

    std::vector<GCodeProfile> profiles_;
    int shown_ = -1;
    bool filling_ = false;
};
