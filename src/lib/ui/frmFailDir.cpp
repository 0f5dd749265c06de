#include "lib/ui/frmFailDir.h"

#include "lib/FileChoice.h"

void ShowFileChooser(QWidget*) { fileChoice().ChoiceConfirmed = 0; }
