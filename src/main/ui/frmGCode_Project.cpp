// Project commands, layout and G-code saving of the main window.
#include "main/ui/frmGCode.h"

void frmGCode::mnuNewProject_Click() {}
void frmGCode::mnuOpenProject_Click() {}
void frmGCode::mnuReloadProject_Click() {}
void frmGCode::LoadProject(const std::string&) {}
void frmGCode::cmdSaveGCODE_Click() {}
