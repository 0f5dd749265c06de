// Project commands, layout and G-code saving of the main window.
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QToolButton>

#include "app/MachiningSettings.h"
#include "gcode/GCodeWriter.h"
#include "lib/Dialogs.h"
#include "lib/FileChoice.h"
#include "lib/ProgramFolder.h"
#include "lib/Win1251.h"
#include "lib/ui/QtText.h"
#include "lib/ui/frmFailDir.h"
#include "main/Layout.h"
#include "main/ProjectFile.h"
#include "main/ui/PenPointsListModel.h"
#include "main/ui/frmGCode.h"

void frmGCode::mnuNewProject_Click() {
    ShowFileChooser(this);
    const FileChoice& choice = fileChoice();
    if (choice.ChoiceConfirmed != 1) return;
    const std::string name =
        dialogs().input(cp("Введите имя файла проекта"), windowCaption(), "NewProject.txt");
    if (name.empty()) return;
    const std::string path = joinPath(choice.ChosenFolder, win1251::toUtf8(name));
    try {
        WriteProjectTemplate(path);
    } catch (const VezorError& e) {
        dialogs().message(e.message(), windowCaption(), Dialogs::Icon::Error);
        return;
    }
    // The new file becomes the current project, so that reload lays it out and
    // the save proposes its name; until then the save refuses the old list.
    project_.ProjectPath = path;
    projectNotLaidOut_ = true;
    mnuReloadProject->setEnabled(true);
    cmdReloadProject->setEnabled(true);
    dialogs().message(cp("Новый проект записан, Вы можете его сразу загрузить"), windowCaption());
}

void frmGCode::mnuOpenProject_Click() {
    const long long drawLimit = DrawLimit;
    DrawLimit = 0;
    ShowFileChooser(this);
    const FileChoice& choice = fileChoice();
    if (choice.ChoiceConfirmed != 1) return;
    // A file that is no project leaves the current one in place: otherwise the
    // save would propose the rejected file's name and overwrite its program.
    const std::string previous = project_.ProjectPath;
    const bool freshView = freshView_;
    project_.ProjectPath = joinPath(choice.ChosenFolder, choice.ChosenFile);
    freshView_ = true;
    if (!LoadProject(project_.ProjectPath)) {
        project_.ProjectPath = previous;
        DrawLimit = drawLimit;
        freshView_ = freshView;
        return;
    }
    mnuReloadProject->setEnabled(true);
    cmdReloadProject->setEnabled(true);
}

void frmGCode::mnuReloadProject_Click() {
    DrawLimit = 0;
    LoadProject(project_.ProjectPath);
    cmdPaint_Click();
}

namespace {

// A long text in a font without its alphabet misses hundreds of letters: after
// «Пропустить остальные» one summary stands for the boxes not shown.
void showMissingLetters(const LayoutResult& layout) {
    for (const std::string& message : layout.messages) {
        if (dialogs().messageOrSkip(message, "", cp("Пропустить остальные"))) {
            dialogs().message(MissingLettersSummary(layout.missingLetters), "");
            return;
        }
    }
}

}  // namespace

bool frmGCode::LoadProject(const std::string& path) {
    bool laidOut = false;
    runExclusive([&] {
        EventPump pump([] { QCoreApplication::processEvents(); });
        Project loaded;
        try {
            loaded = ReadProjectFile(path, pump);
        } catch (const NotAProjectError& e) {
            dialogs().message(e.message(), windowCaption());
            return;
        }
        // The path is the caller's business (the new-project command may have set a folder).
        loaded.ProjectPath = project_.ProjectPath;
        project_ = std::move(loaded);

        QString shown = toQ(ProjectDisplayText(project_));
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        txtPaint->setPlainText(shown);

        const std::string font =
            cboShrift->currentIndex() >= 0 ? pathFromQ(cboShrift->currentText()) : std::string();
        LayoutResult layout = LayOutProject(project_, font, machiningSettings());
        showMissingLetters(layout);
        penPoints() = std::move(layout.points);
        listIsRead_ = false;
        projectNotLaidOut_ = false;
        // Whatever was read before, the list now holds a project: lifts green, strokes red.
        DrawMode = 1;
        viewBounds() = layout.bounds;
        spsModel->show(penPoints());
        cmdPaint->setEnabled(true);
        cmdSaveGCODE->setEnabled(true);
        laidOut = true;
    });
    if (laidOut) refreshPreview();
    return laidOut;
}

void frmGCode::cmdSaveGCODE_Click() {
    if (project_.ProjectPath.empty()) {
        dialogs().message(cp("Проект не загружен"), windowCaption());
        cmdSaveGCODE->setEnabled(false);
        return;
    }
    const std::shared_ptr<PenPoints> points = penPoints();
    if (!points || !HasSomethingToWrite(*points)) {
        dialogs().message(NothingToWriteError().message(), windowCaption());
        return;
    }
    if (projectNotLaidOut_) {
        dialogs().message(cp("Проект не загружен"), windowCaption());
        cmdSaveGCODE->setEnabled(false);
        return;
    }
    // A file that was read is no program of this project: written again it
    // would start with a plunge at the origin and a feed move to the first point.
    if (listIsRead_) {
        dialogs().message(cp("В списке прочитанный файл G-code, а не проект: G-code не записан. "
                             "Перегрузите проект, чтобы записать его G-code"),
                          windowCaption());
        return;
    }
    const GCodeTarget target = ProposeGCodeTarget(project_.ProjectPath);
    const std::string folderText = win1251::fromUtf8(target.relativeFolder);
    const std::string answer =
        dialogs().input(cp("Будет записано в ...") + folderText, cp("Файл для сохранения"),
                        win1251::fromUtf8(target.proposedName));
    if (answer.empty()) return;
    try {
        WriteGCodeFile(GCodeFilePath(target, win1251::toUtf8(answer)),
                       BuildGCodeProgram(*points, machiningSettings().SkorF));
    } catch (const VezorError& e) {
        dialogs().message(e.message(), windowCaption(), Dialogs::Icon::Error);
        return;
    }
    dialogs().message(cp("G-Code записаны в файл ") + folderText + answer, windowCaption());
}
