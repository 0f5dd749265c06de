#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <array>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QRadioButton;
class QToolButton;
struct FileChoice;

// The program's own file chooser. Constructing it does what opening does
// (ChoiceConfirmed 0, start folder, stored file type); the handlers below can be
// driven without exec(). OK writes the choice into the given one; closing leaves it.
// Windows open it through dialogs().chooseFile().
class frmFailDir final : public QDialog {
    Q_OBJECT
  public:
    explicit frmFailDir(FileChoice& choice, QWidget* parent = nullptr);

    void Drive_Change();
    void dirList_DblClick(QListWidgetItem* item);
    void failList_DblClick(QListWidgetItem* item);
    void optVbor_Click(int index);
    void txtMaska_Enter();
    // The list follows the name box as it is typed; a typed or pasted path
    // opens its folder and leaves the name after it in the box.
    void txtMaska_Change();
    void cmdOk_Click();
    void cmdClose_Click();

    // Moves both lists to the folder; false (and nothing changes) when it cannot be read.
    bool setFolder(const QString& folder);
    // Enters a sub-folder shown in the folder list, or ".." for the folder above.
    bool enterFolder(const QString& name);
    // Picks a drive as the user does; the lists move to its root.
    bool selectDrive(const QString& root);
    // Selects a file shown in the file list; false when it is not shown.
    bool selectFile(const QString& name);

    QString folder() const;
    QString pattern() const;
    QStringList folderEntries() const;  // as shown, ".." first
    QStringList fileNames() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Form_Load();
    void buildControls();
    void fillFolderList(const QString& selectName);
    void fillFileList();
    void showDriveOf(const std::string& folder);

    QComboBox* Drive = nullptr;
    QLabel* lblFolder = nullptr;
    QListWidget* dirList = nullptr;
    QListWidget* failList = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtMaska = nullptr;
    std::array<QRadioButton*, 8> optVbor{};
    QToolButton* cmdOk = nullptr;
    QToolButton* cmdClose = nullptr;

    FileChoice& choice_;
    std::vector<std::string> drives_;
    std::string folder_;   // UTF-8, normalised
    std::string pattern_;  // what the file list filters by
    QString prefix_;       // the name box's text in it, if any
    int driveIndex_ = -1;  // the drive shown, to step back when a drive cannot be read
};
