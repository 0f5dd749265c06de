#pragma once

#include <QDialog>
#include <optional>
#include <string>

#include "lib/FileChoice.h"
#include "lib/MachiningSettings.h"
#include "main/PlateBatch.h"

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;
class PreviewSurface;

// «Пакет…»: plates from a table or a range of numbers, the first one shown,
// then all written with a progress bar that can stop the run between plates.
class frmBatch final : public QDialog {
    Q_OBJECT
  public:
    // projectPath (UTF-8) is read anew for every preview and run; files go
    // where the save command would put the project's program. The table is
    // chosen with the file chooser, opened where chooser was left.
    frmBatch(FileChoice& chooser, std::string projectPath, std::string font,
             MachiningSettings settings, ProgramBuilder build, QWidget* parent = nullptr);

    void cmdChooseTable_Click();
    void cmdPreview_Click();
    void cmdWrite_Click();
    // Stops a run after the plate being written; without a run, closes.
    void cmdCancel_Click();
    bool isRunning() const { return running_; }
    // Escape and the window's close button stop a run instead of leaving it.
    void reject() override { cmdCancel_Click(); }

    QRadioButton* optTable = nullptr;
    QLineEdit* txtTable = nullptr;
    QPushButton* cmdChooseTable = nullptr;
    QRadioButton* optSerial = nullptr;
    QLineEdit* txtSerial = nullptr;
    QLineEdit* txtOut = nullptr;
    QLabel* lblFolder = nullptr;
    QCheckBox* chkGrid = nullptr;
    QSpinBox* spnColumns = nullptr;
    QDoubleSpinBox* spnPitchX = nullptr;
    QDoubleSpinBox* spnPitchY = nullptr;
    QPushButton* cmdPreview = nullptr;
    PreviewSurface* picBatch = nullptr;
    QProgressBar* prgBatch = nullptr;
    QPlainTextEdit* txtReport = nullptr;
    QPushButton* cmdWrite = nullptr;
    QPushButton* cmdCancel = nullptr;

  private:
    // The batch as the controls describe it; empty after a message.
    std::optional<PlateBatch> makeBatch(bool grid);
    void showPreview(const LayoutResult& layout);
    void report(const std::string& cp1251);
    void writeGrid(const PlateBatch& batch);

    FileChoice& chooser_;
    std::string projectPath_;
    std::string font_;
    MachiningSettings settings_;
    ProgramBuilder build_;
    std::string folder_;  // the files' folder, UTF-8
    bool running_ = false;
    bool cancel_ = false;
};
