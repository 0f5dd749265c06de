// Plates in the main window: the mirror check box, the plate as SVG or DXF.
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <filesystem>

#include "gcode/GCodeProfile.h"
#include "lib/Dialogs.h"
#include "lib/FileChoice.h"
#include "lib/ProgramFolder.h"
#include "lib/TextFile.h"
#include "lib/Win1251.h"
#include "main/LinePlacement.h"
#include "main/PlateExport.h"
#include "main/Session.h"
#include "main/ui/frmGCode.h"

namespace {

// The tag anywhere in the text, with the spaces and value it may carry.
const QRegularExpression& mirrorTag() {
    static const QRegularExpression tag(QStringLiteral("<@\\s*MIRROR\\s*(=[^>]*)?>"));
    return tag;
}

}  // namespace

QCheckBox* frmGCode::buildMirrorBox(QWidget* parent) {
    chkMirror = new QCheckBox(QStringLiteral("Зеркально"), parent);
    chkMirror->setObjectName("chkMirror");
    chkMirror->setToolTip(
        QStringLiteral("Отразить всю пластину слева направо (тег <@MIRROR>): для гравировки "
                       "с обратной стороны стекла и акрила и для печатей"));
    connect(chkMirror, &QCheckBox::toggled, this, [this](bool on) { chkMirror_Toggled(on); });
    return chkMirror;
}

// The option lives in the project's text, so that the file keeps it: on puts a
// line with the tag first, off takes every such tag out, with a line it leaves empty.
void frmGCode::chkMirror_Toggled(bool on) {
    QString text = txtPaint->toPlainText();
    if (on == text.contains(mirrorTag())) return;
    if (on) {
        text.prepend(QStringLiteral("<@MIRROR>\n"));
    } else {
        QStringList lines = text.split(QLatin1Char('\n'));
        QStringList kept;
        for (QString& line : lines) {
            const bool tagged = line.contains(mirrorTag());
            line.remove(mirrorTag());
            if (!(tagged && line.trimmed().isEmpty())) kept << line;
        }
        text = kept.join(QLatin1Char('\n'));
    }
    txtPaint->setPlainText(text);
}

void frmGCode::showMirrorState() {
    const QSignalBlocker quiet(chkMirror);
    chkMirror->setChecked(ProjectIsMirrored(project_));
}

void frmGCode::mnuExportPlate_Click() {
    if (DrawMode != DrawingMode::Project || listIsRead_ || projectNotLaidOut_ ||
        session_.penPoints()->count() < 2) {
        dialogs().message(cp("Сначала откройте или наберите проект: в SVG и DXF записывается "
                             "разложенная пластина"),
                          windowCaption());
        return;
    }
    dialogs().chooseFile(session_.fileChoice());
    const FileChoice& choice = session_.fileChoice();
    if (choice.ChoiceConfirmed != 1) return;
    const std::filesystem::path current(project_.ProjectPath);
    const std::string stem = current.has_filename() ? current.stem().string() : "plate";
    const std::string name =
        dialogs().input(cp("Имя файла: .svg для Inkscape и лазера, .dxf для LibreCAD и плоттера"),
                        windowCaption(), win1251::fromUtf8(stem) + ".svg");
    if (name.empty()) return;
    const std::string lower = win1251::toUtf8(name);
    const bool svg = lower.size() > 4 && (lower.ends_with(".svg") || lower.ends_with(".SVG"));
    const bool dxf = lower.size() > 4 && (lower.ends_with(".dxf") || lower.ends_with(".DXF"));
    if (!svg && !dxf) {
        dialogs().message(cp("Имя файла должно кончаться на .svg или .dxf"), windowCaption());
        return;
    }
    const std::string path = joinPath(choice.ChosenFolder, win1251::toUtf8(name));
    if (textfile::isFile(path) &&
        !dialogs().question(cp("Файл ") + name + cp(" уже есть. Заменить его?"), windowCaption()))
        return;
    const PlatePaths paths = PathsOfPlate(*session_.penPoints(), session_.viewBounds());
    try {
        textfile::writeAtomically(
            path, svg ? PlateSvg(paths, ChosenProfile().lineWidth) : PlateDxf(paths));
    } catch (const VezorError& e) {
        dialogs().message(e.message(), windowCaption(), Dialogs::Icon::Error);
        return;
    }
    dialogs().message(cp("Пластина записана в файл ") + name, windowCaption());
}
