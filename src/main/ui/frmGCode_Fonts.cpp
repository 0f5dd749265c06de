// The font editor and font viewer commands of the main window.
#include "main/ui/frmGCode.h"

void frmGCode::mnuFontEdit_Click() {
    if (!checkFont()) return;
}

void frmGCode::nmuOpen_Click() {
    if (!checkFont()) return;
}
