// Project commands, layout and G-code saving of the main window.
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QToolButton>

#include "gcode/GCodeWriter.h"
#include "lib/Dialogs.h"
#include "lib/FileChoice.h"
#include "lib/MachiningSettings.h"
#include "lib/ProgramFolder.h"
#include "lib/TextFile.h"
#include "lib/Win1251.h"
#include "lib/ui/QtText.h"
#include "main/Layout.h"
#include "main/ProjectFile.h"
#include "main/Session.h"
#include "main/ui/PenPointsListModel.h"
#include "main/ui/frmGCode.h"

void frmGCode::mnuNewProject_Click() {
    // The editors' text belongs to the current project; once the new file is
    // current, saving it would write that text into the new file.
    if (!unsavedChangesHandled()) return;
    dialogs().chooseFile(session_.fileChoice());
    const FileChoice& choice = session_.fileChoice();
    if (choice.ChoiceConfirmed != 1) return;
    const std::string path = askProjectPath(choice.ChosenFolder, "NewProject.txt");
    if (path.empty()) return;
    try {
        WriteProjectTemplate(path);
    } catch (const VezorError& e) {
        dialogs().message(e.message(), windowCaption(), Dialogs::Icon::Error);
        return;
    }
    // The new file becomes the current project and is laid out at once, so that
    // the editors, reload and the save all work on it; should that fail, the
    // save still refuses the old list.
    project_.ProjectPath = path;
    projectNotLaidOut_ = true;
    mnuReloadProject->setEnabled(true);
    cmdReloadProject->setEnabled(true);
    dialogs().message(cp("Новый проект записан, Вы можете его сразу загрузить"), windowCaption());
    DrawLimit = 0;
    freshView_ = true;
    LoadProject(path);
}

std::string frmGCode::askProjectPath(const std::string& folder, const std::string& proposed) {
    std::string name = proposed;
    for (;;) {
        name = dialogs().input(cp("Введите имя файла проекта"), windowCaption(), name);
        if (name.empty()) return {};
        const std::string path = joinPath(folder, win1251::toUtf8(name));
        if (!textfile::isFile(path) ||
            dialogs().question(cp("Файл «") + name + cp("» уже есть. Заменить его?"),
                               windowCaption(), Dialogs::Answer::No))
            return path;
    }
}

void frmGCode::mnuOpenProject_Click() {
    const long long drawLimit = DrawLimit;
    DrawLimit = 0;
    dialogs().chooseFile(session_.fileChoice());
    const FileChoice& choice = session_.fileChoice();
    if (choice.ChoiceConfirmed != 1) return;
    // A file that is no project leaves the current one in place: otherwise the
    // save would propose the rejected file's name and overwrite its program.
    const std::string path = joinPath(choice.ChosenFolder, choice.ChosenFile);
    if (!unsavedChangesHandled()) return;
    const std::string previous = project_.ProjectPath;
    const bool freshView = freshView_;
    project_.ProjectPath = path;
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
    if (!unsavedChangesHandled()) return;
    DrawLimit = 0;
    LoadProject(project_.ProjectPath);
    cmdPaint_Click();
}

bool frmGCode::LoadProject(const std::string& path) {
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
    if (laidOut) {
        refreshPreview();
        estimateLaidOut();
    }
    return laidOut;
}

void frmGCode::cmdSaveGCODE_Click() {
    if (project_.ProjectPath.empty()) {
        dialogs().message(cp("Проект не загружен"), windowCaption());
        cmdSaveGCODE->setEnabled(false);
        return;
    }
    const std::shared_ptr<PenPoints> points = session_.penPoints();
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
    // The list holds the last layout of good values, not what the fields say.
    if (refuseForParameterFaults("G-code не записан:")) return;
    std::vector<std::string> notes;
    const GCodeProfile profile = ChosenProfile(&notes);
    for (const std::string& note : notes) dialogs().message(note, windowCaption());
    const GCodeTarget target = ProposeGCodeTarget(project_.ProjectPath, profile.extension);
    // The whole folder: relative to the program folder it is empty for a
    // project stored elsewhere, and the user would not know where the file goes.
    const std::string answer =
        dialogs().input(cp("Будет записано в ") + win1251::fromUtf8(GCodeFilePath(target, "")),
                        cp("Файл для сохранения"), win1251::fromUtf8(target.proposedName));
    if (answer.empty()) return;
    const std::string path = GCodeFilePath(target, win1251::toUtf8(answer));
    try {
        WriteGCodeFile(path, *points, session_.machiningSettings().SkorF, profile);
    } catch (const VezorError& e) {
        dialogs().message(e.message(), windowCaption(), Dialogs::Icon::Error);
        return;
    }
    dialogs().message(cp("G-Code записаны в файл ") + win1251::fromUtf8(path), windowCaption());
}
