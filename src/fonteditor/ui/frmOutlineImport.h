#pragma once

#include <QDialog>
#include <QTemporaryDir>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fontsource/InstalledFonts.h"
#include "fontsource/OutlineCompiler.h"
#include "main/Session.h"

class LetterSamplePanel;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

// What an outline font's import left: the new font as the font list names it
// ("" when nothing was written) and the letter the user asked to open in the
// editor from the report (-1 for none).
struct OutlineImportResult {
    std::string font;
    int letterToOpen = -1;
};

// Brings a TrueType or OpenType font in as a single-stroke font of the user's
// font folder: the face to read (asked for a collection when face is -1), its
// centre lines found with a progress bar, a sample line of the result with the
// name to give it, written only on «Записать» (a font of that name replaced
// after a question), then the report of its measures.
OutlineImportResult ImportOutlineFont(const std::string& path, int face, QWidget* parent);

// The outline fonts installed on the computer to pick from; none on Cancel.
std::optional<fontc::InstalledFont> ChooseInstalledFont(QWidget* parent);

// Whether the file is one ImportOutlineFont reads (by its extension).
bool isOutlineFontFile(const std::string& path);

class frmInstalledFonts final : public QDialog {
    Q_OBJECT
  public:
    frmInstalledFonts(std::vector<fontc::InstalledFont> fonts, QWidget* parent);
    std::optional<fontc::InstalledFont> chosen() const;

    QLineEdit* txtFilter = nullptr;
    QListWidget* spsFonts = nullptr;
    QLabel* lblFile = nullptr;
    QPushButton* cmdOk = nullptr;

  private:
    void fill();
    std::vector<fontc::InstalledFont> fonts_;
    std::vector<fontc::InstalledFont> shown_;
};

// The converted font before it is written: its sample line and its name.
class frmOutlinePreview final : public QDialog {
    Q_OBJECT
  public:
    frmOutlinePreview(const fontc::OutlineConversion& conversion, const std::string& proposedName,
                      QWidget* parent);
    ~frmOutlinePreview() override;
    // The name given (UTF-8), once accepted.
    std::string name() const;

    QLineEdit* txtName = nullptr;
    QLabel* lblSummary = nullptr;
    LetterSamplePanel* sample = nullptr;
    QPushButton* cmdWrite = nullptr;
    QPushButton* cmdCancel = nullptr;

  private:
    void write();
    QTemporaryDir scratch_;
    Session sampleSession_;
};

// The measures of an imported outline font; a click on one of the worst
// letters closes it and asks for that letter in the editor.
class frmOutlineReport final : public QDialog {
    Q_OBJECT
  public:
    frmOutlineReport(const fontc::OutlineConversion& conversion, const std::string& fontName,
                     QWidget* parent);
    int chosenLetter() const { return chosen_; }

    QLabel* lblSummary = nullptr;
    std::vector<QPushButton*> cmdWorst;
    QTableWidget* tblLetters = nullptr;
    QPlainTextEdit* txtJoining = nullptr;
    QPushButton* cmdOk = nullptr;

  private:
    int chosen_ = -1;
};
