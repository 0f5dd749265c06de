// Preview drawing, G-code reading, and the parameters and about windows.
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QToolButton>
#include <memory>

#include "gcode/GCodeOpening.h"
#include "gcode/GCodeReader.h"
#include "gcode/InterpretedReader.h"
#include "gcode/ToolMoves.h"
#include "lib/Dialogs.h"
#include "lib/FileChoice.h"
#include "lib/ProgramFolder.h"
#include "lib/Win1251.h"
#include "lib/ui/QtText.h"
#include "lib/ui/WindowPlacement.h"
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
            pic->showScale(session_.viewBounds(), previewScale(fromQ(cboMash->currentText())),
                           DrawMode == DrawingMode::GCodeFile);
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
    OpenedGCode opened;
    bool read = false;
    runExclusive([&] {
        // A new list: the G-code list and the colours stay those of the old one
        // until the read succeeds; a file that cannot be opened changes neither.
        auto points = std::make_shared<PenPoints>();
        EventPump pump = windowEventPump();
        // Each file is shown on its own, with the origin: earlier files' bounds
        // would shrink it into a corner.
        ViewBounds bounds;
        try {
            opened = OpenGCodeFile(path, *points, bounds, pump);
        } catch (const VezorError& e) {
            dialogs().message(e.message(), windowCaption());
            return;
        }
        read = true;
        if (opened.reading == OpenedGCode::Reading::Refused) {
            session_.penPoints() = points;
            listIsRead_ = true;
            session_.viewBounds() = bounds;
            DrawMode = DrawingMode::None;
            freshView_ = true;
            // The list and the picture still show the earlier content: so do its figures.
            dialogs().message(opened.refusal, windowCaption());
            return;
        }
        showReadFile(points, bounds);
    });
    if (!read) return;
    switch (opened.reading) {
        case OpenedGCode::Reading::Refused:
            if (opened.readsAsProgram &&
                dialogs().question(cp("Прочитать этот файл как G-code другой программы (CAM, "
                                      "лазер, плоттер)? Путь будет показан так, как его пройдёт "
                                      "станок."),
                                   windowCaption()))
                ReadOtherProgramGCode(path);
            return;
        case OpenedGCode::Reading::Interpreter:
            showInterpretedFile(
                path, opened.interpreted,
                QStringLiteral("строка %1 — %2: чтение файлов VEzor нарисовало бы путь неверно")
                    .arg(opened.misdrawn->line)
                    .arg(toQ(opened.misdrawn->what)));
            return;
        case OpenedGCode::Reading::Words:
            readCutRule_.reset();
            lblReading->clear();
            lblReading->setToolTip(QString());
            refreshPreview();
            estimateFile(path);
            return;
    }
}

void frmGCode::mnuOpenOtherCode_Click() {
    if (isBusy()) return;
    DrawLimit = 0;
    dialogs().chooseFile(session_.fileChoice());
    const FileChoice& choice = session_.fileChoice();
    if (choice.ChoiceConfirmed == 1)
        ReadOtherProgramGCode(joinPath(choice.ChosenFolder, choice.ChosenFile));
    cmdPaint->setEnabled(true);
}

void frmGCode::ReadOtherProgramGCode(const std::string& path) {
    InterpretedRead read;
    bool drawn = false;
    runExclusive([&] {
        auto points = std::make_shared<PenPoints>();
        EventPump pump = windowEventPump();
        ViewBounds bounds;
        try {
            read = InterpretGCodeFile(path, *points, bounds, pump);
        } catch (const VezorError& e) {
            // A file with no G-code at all changes nothing shown.
            dialogs().message(e.message(), windowCaption());
            return;
        }
        showReadFile(points, bounds);
        drawn = true;
    });
    if (drawn)
        showInterpretedFile(path, read,
                            QStringLiteral("команда «Открыть G-code другой программы…»"));
}

void frmGCode::showReadFile(std::shared_ptr<PenPoints> points, const ViewBounds& bounds) {
    session_.penPoints() = std::move(points);
    listIsRead_ = true;
    DrawMode = DrawingMode::GCodeFile;
    session_.viewBounds() = bounds;
    spsModel->show(session_.penPoints());
    freshView_ = true;
}

void frmGCode::showInterpretedFile(const std::string& path, const InterpretedRead& read,
                                   const QString& why) {
    readCutRule_ = std::make_shared<const CutRule>(read.cutRule);
    QString note = QStringLiteral("G-code другой программы");
    if (!read.skipped.empty())
        note += QStringLiteral(", не выполнено строк: %1").arg(read.skipped.size());
    lblReading->setText(note);
    lblReading->setToolTip(QStringLiteral("Файл прочитан как G-code другой программы, путь показан "
                                          "так, как его пройдёт станок (%1)")
                               .arg(why));
    refreshPreview();
    estimateFile(path);
    if (!read.skipped.empty())
        dialogs().message(IncompletePictureText(*session_.penPoints(), read.skipped),
                          windowCaption());
}

void frmGCode::mnuParam_Click() {
    frmParam dialog(session_.machiningSettings(), this);
    PlaceOnScreen(&dialog);
    dialog.exec();
    // The dialog may have changed the heights, the feed, the lifts or the profile.
    if (DrawMode == DrawingMode::Project)
        relayoutNow();
    else if (DrawMode == DrawingMode::GCodeFile && !readFile_.empty())
        estimateFile(readFile_);
}

void frmGCode::mnuHelp_Click() {
    frmAutor about(this);
    PlaceOnScreen(&about);
    about.exec();
}
