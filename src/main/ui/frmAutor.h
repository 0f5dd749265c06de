#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QPlainTextEdit;

// The about window: a picture and a few lines on what the program is for.
// It has no buttons; the window's close box closes it.
class frmAutor final : public QDialog {
    Q_OBJECT
  public:
    explicit frmAutor(QWidget* parent = nullptr);

    // Builds the text of Text1.
    void Form_Load();

    // The text as built (Windows-1251, lines joined by CR LF, the first one empty).
    static std::string AboutText();

    QLabel* Risunok1 = nullptr;
    QPlainTextEdit* Text1 = nullptr;
};
