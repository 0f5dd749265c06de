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
#include "lib/TextFile.h"
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
    project_.ProjectPath = joinPath(choice.ChosenFolder, "");
    const std::string name =
        dialogs().input(cp("Введите имя файла проекта"), windowCaption(), "NewProject.txt");
    if (name.empty()) return;
    try {
        WriteProjectTemplate(joinPath(choice.ChosenFolder, win1251::toUtf8(name)));
    } catch (const VezorError& e) {
        dialogs().message(e.message(), windowCaption(), Dialogs::Icon::Error);
        return;
    }
    dialogs().message(cp("Новый проект записан, Вы можете его сразу загрузить"), windowCaption());
}

void frmGCode::mnuOpenProject_Click() {
    DrawLimit = 0;
    ShowFileChooser(this);
    const FileChoice& choice = fileChoice();
    if (choice.ChoiceConfirmed != 1) return;
    const std::string path = joinPath(choice.ChosenFolder, choice.ChosenFile);
    if (!unsavedChangesHandled()) return;
    project_.ProjectPath = path;
    mnuReloadProject->setEnabled(true);
    cmdReloadProject->setEnabled(true);
    DrawMode = 1;
    freshView_ = true;
    LoadProject(project_.ProjectPath);
}

void frmGCode::mnuReloadProject_Click() {
    if (!unsavedChangesHandled()) return;
    DrawLimit = 0;
    LoadProject(project_.ProjectPath);
    cmdPaint_Click();
}

void frmGCode::LoadProject(const std::string& path) {
    bool laidOut = false;
    runExclusive([&] {
        EventPump pump([] { QCoreApplication::processEvents(); });
        std::string bytes;
        Project loaded;
        try {
            try {
                bytes = textfile::readBytes(path);
            } catch (const FileReadError&) {
                throw NotAProjectError();
            }
            loaded = ParseProject(bytes, pump);
        } catch (const NotAProjectError& e) {
            dialogs().message(e.message(), windowCaption());
            return;
        }
        // The path is the caller's business (the new-project command may have set a folder).
        loaded.ProjectPath = project_.ProjectPath;
        project_ = std::move(loaded);
        // The editors show the file's lines as written, so saving keeps tags and comments.
        source_ = DecodeProjectSource(bytes);
        modified_ = false;
        showSource();
        layOutProject(true);
        laidOut = true;
    });
    if (laidOut) refreshPreview();
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
