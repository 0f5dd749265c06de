// The font editor and font viewer commands of the main window.
#include "fonteditor/ui/frmFontPaint.h"
#include "fonteditor/ui/frmSrift.h"
#include "lib/ui/WindowPlacement.h"
#include "main/ui/frmGCode.h"

void frmGCode::mnuFontEdit_Click() {
    if (!checkFont()) return;
    frmFontPaint editor(session_, this);
    PlaceOnScreen(&editor);
    editor.exec();
}

void frmGCode::nmuOpen_Click() {
    if (!checkFont()) return;
    frmSrift viewer(session_, this);
    PlaceOnScreen(&viewer);
    viewer.exec();
}
