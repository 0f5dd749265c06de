// Preview drawing, G-code reading, and the parameters and about windows.
#include "main/ui/frmGCode.h"

void frmGCode::cmdPaint_Click() {}
void frmGCode::mnuOpenCode_Click() {}
void frmGCode::ReadGCodeFile(const std::string&) {}
void frmGCode::mnuParam_Click() {}
void frmGCode::mnuHelp_Click() {}
