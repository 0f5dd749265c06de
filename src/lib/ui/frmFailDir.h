#pragma once

class QWidget;

// Shows the program's file chooser modally; the result is in fileChoice().
void ShowFileChooser(QWidget* parent);
