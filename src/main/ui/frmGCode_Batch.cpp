// The main window's batch command: plates with fields from the loaded project.
#include <QComboBox>
#include <QLineEdit>

#include "gcode/GCodeProfile.h"
#include "gcode/GCodeWriter.h"
#include "lib/Dialogs.h"
#include "lib/MachiningSettings.h"
#include "lib/TextFile.h"
#include "lib/Win1251.h"
#include "lib/ui/QtText.h"
#include "lib/ui/WindowPlacement.h"
#include "main/Session.h"
#include "main/ui/frmBatch.h"
#include "main/ui/frmGCode.h"

void frmGCode::cmdBatch_Click() {
    if (project_.ProjectPath.empty() || !textfile::isFile(project_.ProjectPath)) {
        dialogs().message(cp("Проект не загружен"), windowCaption());
        return;
    }
    // The plates are laid out from the file: unsaved edits go in only when saved.
    // No runs the batch on the file as it stands and keeps the edits in the window.
    if (isModified()) {
        const Dialogs::Answer answer = dialogs().questionOrCancel(
            cp("Проект изменён. Сохранить изменения?\nПакет берёт текст из файла."),
            windowCaption());
        if (answer == Dialogs::Answer::Cancel) return;
        if (answer == Dialogs::Answer::Yes) {
            mnuSaveProject_Click();
            if (isModified()) return;
        }
    }
    const std::string font =
        cboShrift->currentIndex() >= 0 ? pathFromQ(cboShrift->currentText()) : std::string();
    MachiningSettings settings = session_.machiningSettings();
    // The plates are written in the form the save button writes.
    std::vector<std::string> notes;
    const GCodeProfile profile = ChosenProfile(&notes);
    settings.LineWidth = profile.lineWidth;
    for (const std::string& note : notes) dialogs().message(note, windowCaption());
    frmBatch dialog(
        session_.fileChoice(), project_.ProjectPath, font, settings,
        [settings, profile](const PenPoints& points) {
            return BuildGCodeProgram(points, settings.SkorF, profile);
        },
        this);
    // The files get the profile's extension, as the save proposes it.
    dialog.txtOut->setText(QStringLiteral("plate-{N}") + toQ(profile.extension));
    PlaceOnScreen(&dialog);
    dialog.exec();
}
