#include "fonteditor/ui/frmSrift.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

#include "font/FontStorage.h"
#include "fonteditor/FontPage.h"
#include "fonteditor/ui/FontPageSurface.h"
#include "fonteditor/ui/frmFontPaint.h"
#include "lib/TextFile.h"
#include "lib/VezorError.h"
#include "lib/ui/QtText.h"
#include "lib/ui/WindowPlacement.h"
#include "main/Session.h"

frmSrift::frmSrift(Session& session, QWidget* parent) : QDialog(parent), session_(session) {
    setObjectName("frmSrift");
    setWindowTitle(QStringLiteral("Просмотр/выбор шрифта"));
    setModal(true);

    auto* outer = new QVBoxLayout(this);
    auto* choice = new QHBoxLayout;
    auto* group = new QButtonGroup(this);
    const QString captions[] = {QStringLiteral("0-127"), QStringLiteral("128-255")};
    for (int index = 1; index <= 2; ++index) {
        auto* button = new QRadioButton(captions[index - 1], this);
        button->setObjectName(QStringLiteral("opt_%1").arg(index));
        button->setProperty("index", index);
        group->addButton(button, index);
        connect(button, &QRadioButton::clicked, this, [this, index] { opt_Click(index); });
        choice->addWidget(button);
        opt[static_cast<std::size_t>(index - 1)] = button;
    }
    choice->addStretch(1);
    outer->addLayout(choice);

    picpic = new FontPageSurface(this);
    picpic->setObjectName("picpic");
    outer->addWidget(picpic, 1);
    connect(picpic, &FontPageSurface::cellClicked, this,
            [this](int column, int row) { picpic_MouseUp(column, row); });

    resize(760, 820);
    Form_Load();
    // A viewer is opened to look at the letters: they are there at once.
    opt_Click(1);
}

frmSrift::~frmSrift() = default;

void frmSrift::Form_Load() {
    PageWidth = fontpage::kPageWidth;
    PageHeight = fontpage::kPageHeight;
    setWindowTitle(QStringLiteral("Просмотр/выбор шрифта [") + pathToQ(session_.CurrentFont()) +
                   "]");
}

void frmSrift::opt_Click(int index) {
    if (index < 1 || index > 2) return;
    // A page chosen from code must look chosen as well.
    opt[static_cast<std::size_t>(index - 1)]->setChecked(true);
    page_ = index;
    picpic->clear();
    DrawCellGrid();
    DrawCharacterPage(index);
}

void frmSrift::picpic_MouseUp(int column, int row) {
    if (page_ == 0) return;
    const int code = fontpage::cellCode(fontpage::firstCode(page_), column, row);
    // The editor lists every code from 32 and the control codes the font has.
    if (code < 32 && !textfile::isFile(LetterFilePath(session_.CurrentFont(), code))) return;
    if (!editor_) {
        editor_ = new frmFontPaint(session_, this);
        editor_->setAttribute(Qt::WA_DeleteOnClose);
        // Beside the page, so that the next cell is one click away.
        editor_->setModal(false);
        connect(editor_, &frmFontPaint::letterSaved, this, [this] { opt_Click(page_); });
        PlaceOnScreen(editor_);
    }
    editor_->openLetter(code);
    editor_->show();
    editor_->raise();
    editor_->activateWindow();
}

void frmSrift::reject() {
    if (editor_ && editor_->isVisible() && !editor_->close()) return;
    QDialog::reject();
}

void frmSrift::DrawCellGrid() { picpic->showGrid(); }

void frmSrift::DrawCharacterPage(int index) {
    using namespace fontpage;
    const int first = firstCode(index);
    for (int column = 0; column < kColumns; ++column) {
        for (int row = 0; row < kRows; ++row) {
            const int code = cellCode(first, column, row);
            picpic->addText(codeTextPosition(column, row), QString::number(code), Qt::black);
            if (ReadLetterPoints(code)) {
                const PagePoint origin = letterOrigin(column, row);
                DrawLetterInCell(origin.x, origin.y);
            }
            const QString character =
                toQ(std::string(1, static_cast<char>(static_cast<unsigned char>(code))));
            // Control characters have no picture; the system font would show a box.
            if (character.front().isPrint())
                picpic->addText(characterTextPosition(column, row), character, QColor(0, 0, 255));
        }
    }
}

bool frmSrift::ReadLetterPoints(int code) {
    spsPoint.clear();
    try {
        spsPoint = ReadLetterLines(LetterFilePath(session_.CurrentFont(), code));
    } catch (const VezorError&) {
        return false;
    }
    return true;
}

void frmSrift::DrawLetterInCell(double x0, double y0) {
    if (spsPoint.empty()) return;
    for (auto& stroke : fontpage::letterStrokes(spsPoint, {x0, y0}))
        picpic->addPolyline(std::move(stroke));
}
