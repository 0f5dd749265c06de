// Preview drawing, G-code reading, and the parameters and about windows.
#include <QComboBox>
#include <QCoreApplication>
#include <QToolButton>
#include <memory>

#include "gcode/GCodeReader.h"
#include "lib/Dialogs.h"
#include "lib/FileChoice.h"
#include "lib/ProgramFolder.h"
#include "lib/ui/QtText.h"
#include "main/PreviewGeometry.h"
#include "main/PreviewScene.h"
#include "main/Session.h"
#include "main/ui/PenPointsListModel.h"
#include "main/ui/PreviewSurface.h"
#include "main/ui/frmAutor.h"
#include "main/ui/frmGCode.h"
#include "main/ui/frmParam.h"

namespace {

EventPump windowEventPump() {
    return EventPump([] { QCoreApplication::processEvents(); });
}

}  // namespace

void frmGCode::cmdPaint_Click() { drawPreview(DrawLimit); }

void frmGCode::refreshPreview() {
    // Drawn by itself: an unlimited view stays unlimited for the next content.
    long long limit = DrawLimit;
    drawPreview(limit);
}

void frmGCode::drawPreview(long long& limit) {
    if (drawing_) return;
    drawing_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{drawing_};

    const auto draw = [this, &limit] {
        // Held for the whole pass: a file read meanwhile replaces the shared list.
        const std::shared_ptr<PenPoints> points = session_.penPoints();
        if (!scene_ || scenePoints_ != points || sceneMode_ != DrawMode) {
            EventPump pump = windowEventPump();
            scene_ = std::make_shared<const PreviewScene>(*points, DrawMode, pump);
            scenePoints_ = points;
            sceneMode_ = DrawMode;
        }
        const std::size_t count = recordsToDraw(limit, points->count());
        pic->setContent(scene_, scene_->segmentsUpTo(count), project().FieldWidth);
        if (freshView_) {
            freshView_ = false;
            pic->showScale(session_.viewBounds(), previewScale(fromQ(cboMash->currentText())));
        }
        showSelectedMove();
    };
    // Commands that load content may end with a redraw while they still hold the
    // window; a redraw of its own keeps loads out until it is done.
    if (isBusy())
        draw();
    else
        runExclusive(draw);
}

void frmGCode::mnuOpenCode_Click() {
    if (isBusy()) return;
    DrawLimit = 0;
    dialogs().chooseFile(session_.fileChoice());
    const FileChoice& choice = session_.fileChoice();
    if (choice.ChoiceConfirmed == 1)
        ReadGCodeFile(joinPath(choice.ChosenFolder, choice.ChosenFile));
    cmdPaint->setEnabled(true);
}

void frmGCode::ReadGCodeFile(const std::string& path) {
    bool drawn = false;
    runExclusive([&] {
        // A new list: the G-code list and the colours stay those of the old one
        // until the read succeeds; a file that cannot be opened changes neither.
        auto points = std::make_shared<PenPoints>();
        EventPump pump = windowEventPump();
        // Each file is shown on its own, with the origin: earlier files' bounds
        // would shrink it into a corner.
        ViewBounds bounds;
        try {
            ::ReadGCodeFile(path, *points, bounds, pump);
        } catch (const GCodeReadError& e) {
            session_.penPoints() = points;
            listIsRead_ = true;
            session_.viewBounds() = bounds;
            DrawMode = DrawingMode::None;
            freshView_ = true;
            // The list and the picture still show the earlier content: so do its figures.
            dialogs().message(e.message(), windowCaption());
            return;
        } catch (const VezorError& e) {
            dialogs().message(e.message(), windowCaption());
            return;
        }
        session_.penPoints() = points;
        listIsRead_ = true;
        DrawMode = DrawingMode::GCodeFile;
        session_.viewBounds() = bounds;
        spsModel->show(points);
        freshView_ = true;
        drawn = true;
    });
    if (drawn) {
        refreshPreview();
        estimateFile(path);
    }
}

void frmGCode::mnuParam_Click() {
    frmParam dialog(session_.machiningSettings(), this);
    dialog.exec();
    // The dialog may have changed the heights, the feed, the lifts or the profile.
    if (DrawMode == DrawingMode::Project)
        relayoutNow();
    else if (DrawMode == DrawingMode::GCodeFile && !readFile_.empty())
        estimateFile(readFile_);
}

void frmGCode::mnuHelp_Click() {
    frmAutor about(this);
    about.exec();
}
