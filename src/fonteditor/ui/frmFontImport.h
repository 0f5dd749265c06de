#pragma once

#include <QDialog>
#include <string>

struct FileChoice;
class QPlainTextEdit;
class QPushButton;

// Brings a LibreCAD .lff, Hershey .jhf or SVG font file in as a new font of the
// user's font folder: the file chooser (opened where choice was left), the font's name, a question
// before a font of that name is replaced, the joining of every letter into one stroke with a
// progress bar, then its report. Every font list is told of the new font. Returns the font's name
// in the font list ("font/Name"), or "" when nothing was written. A TrueType or OpenType file
// goes to the outline import, whose report may ask for a letter to open (into letterToOpen).
std::string ImportFont(FileChoice& choice, QWidget* parent, int* letterToOpen = nullptr);

// The report of an import, shown until the user closes it.
class frmImportReport final : public QDialog {
    Q_OBJECT
  public:
    frmImportReport(const QString& report, QWidget* parent);

    QPlainTextEdit* txtReport = nullptr;
    QPushButton* cmdOk = nullptr;
};
