// The font editor and font viewer commands of the main window.
#include "fonteditor/ui/frmFontPaint.h"
#include "fonteditor/ui/frmSrift.h"
#include "main/ui/frmGCode.h"

void frmGCode::mnuFontEdit_Click() {
    if (!checkFont()) return;
    frmFontPaint editor(session_, this);
    editor.exec();
}

void frmGCode::nmuOpen_Click() {
    if (!checkFont()) return;
    frmSrift viewer(session_, this);
    viewer.exec();
}
