#include "fonteditor/ui/frmFontImport.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>

#ifdef VEZOR_OUTLINE
#include "fonteditor/ui/frmOutlineImport.h"
#endif
#include "fontsource/FontImport.h"
#include "fontsource/FontSources.h"
#include "lib/Dialogs.h"
#include "lib/DiskFiles.h"
#include "lib/FileChoice.h"
#include "lib/ProgramFolder.h"
#include "lib/VezorError.h"
#include "lib/ui/QtText.h"
#include "lib/ui/WindowPlacement.h"
#include "main/FontList.h"
#include "main/FontListChanges.h"

namespace {

const char* const kTitle = "Импорт шрифта";

// The chosen font file's full path, "" when the user closed the chooser.
std::string chooseFontFile(FileChoice& choice) {
    dialogs().chooseFile(choice);
    if (choice.ChoiceConfirmed != 1) return "";
    return joinPath(choice.ChosenFolder, choice.ChosenFile);
}

// The new font's folder name (UTF-8), asked until it can be one; "" on Cancel.
std::string askFontName(const std::string& proposal) {
    std::string answer = win1251::fromUtf8(proposal);
    for (;;) {
        answer = dialogs().input(cp("Имя нового шрифта"), cp(kTitle), answer);
        if (answer.empty()) return "";
        const std::string name = win1251::toUtf8(answer);
        const std::string why = fontc::badFontName(name);
        if (why.empty()) return name;
        dialogs().message(cp("Имя не подходит: ") + win1251::fromUtf8(why), cp(kTitle),
                          Dialogs::Icon::Error);
    }
}

// Joins the letters with a progress bar that lets the window breathe between
// letters; incomplete when the user stops it.
fontc::CompiledFont joinWithProgress(const fontc::FontRecipe& recipe, QWidget* parent) {
    std::vector<int> codes;
    for (const auto& entry : recipe.glyphs) codes.push_back(entry.first);
    const int total = static_cast<int>(codes.size());
    QProgressDialog progress(QStringLiteral("Соединение штрихов…"), QStringLiteral("Отмена"), 0,
                             total, parent);
    progress.setObjectName(QStringLiteral("prgImport"));
    progress.setWindowTitle(QString::fromUtf8(kTitle));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setMinimumWidth(360);
    return fontc::compileFont(recipe, {}, [&](std::size_t done, std::size_t) {
        const int at = static_cast<int>(done);
        if (at < total)
            progress.setLabelText(QStringLiteral("Буква «%1»: %2 из %3")
                                      .arg(toQ(std::string(1, static_cast<char>(codes[done]))))
                                      .arg(at + 1)
                                      .arg(total));
        // A modal progress dialog runs the pending events in setValue.
        progress.setValue(at);
        return !progress.wasCanceled();
    });
}

}  // namespace

std::string ImportFont(FileChoice& choice, QWidget* parent, int* letterToOpen) {
    const std::string title = cp(kTitle);
    const std::string path = chooseFontFile(choice);
    if (path.empty()) return "";
#ifdef VEZOR_OUTLINE
    if (isOutlineFontFile(path)) {
        const OutlineImportResult imported = ImportOutlineFont(path, -1, parent);
        if (letterToOpen) *letterToOpen = imported.letterToOpen;
        return imported.font;
    }
#else
    (void)letterToOpen;
#endif
    const std::string file = disk::utf8Path(disk::fsPath(path).filename());
    fontc::FontRecipe recipe;
    try {
        recipe = fontc::importRecipe(path, "");
    } catch (const std::exception& e) {
        dialogs().message(cp("Шрифт не прочитан из файла ") + win1251::fromUtf8(file + ":\n") +
                              win1251::fromUtf8(e.what()),
                          title, Dialogs::Icon::Error);
        return "";
    }
    if (recipe.glyphs.empty()) {
        dialogs().message(win1251::fromUtf8("В файле " + file +
                                            " нет ни одной буквы кодировки Windows-1251: "
                                            "шрифт не создан"),
                          title, Dialogs::Icon::Error);
        return "";
    }

    const std::string name = askFontName(disk::utf8Path(disk::fsPath(path).stem()));
    if (name.empty()) return "";
    const std::string listName = joinPath("font", name);
    const auto fonts = FontList();
    if (std::find(fonts.begin(), fonts.end(), listName) != fonts.end() &&
        !dialogs().question(win1251::fromUtf8("Шрифт «" + listName + "» уже есть. Заменить его?"),
                            title, Dialogs::Answer::No))
        return "";

    recipe.folder = name;
    fontc::CompiledFont font;
    try {
        font = joinWithProgress(recipe, parent);
    } catch (const std::exception& e) {
        dialogs().message(cp("Шрифт не создан: ") + win1251::fromUtf8(e.what()), title,
                          Dialogs::Icon::Error);
        return "";
    }
    if (!font.complete) return "";
    if (font.letters.empty()) {
        dialogs().message(cp("Ни одна буква не помещается в поле буквы: шрифт не создан"), title,
                          Dialogs::Icon::Error);
        return "";
    }
    try {
        fontc::installFontFolder(font, joinPath(programFolder(), "font"), name);
    } catch (const VezorError& e) {
        dialogs().message(e.message(), title, Dialogs::Icon::Error);
        return "";
    }
    fontListChanges().announce();
    frmImportReport report(QString::fromStdString(fontc::importReport(font, listName)), parent);
    PlaceOnScreen(&report);
    report.exec();
    return listName;
}

frmImportReport::frmImportReport(const QString& report, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmImportReport"));
    setWindowTitle(QString::fromUtf8(kTitle));
    setModal(true);
    txtReport = new QPlainTextEdit(report, this);
    txtReport->setObjectName(QStringLiteral("txtReport"));
    txtReport->setReadOnly(true);
    txtReport->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    cmdOk = buttons->button(QDialogButtonBox::Ok);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(txtReport);
    layout->addWidget(buttons);
    resize(620, 360);
}
