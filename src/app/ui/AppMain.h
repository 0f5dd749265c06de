#pragma once

class QApplication;

// The program's entry after the application object exists: fixes the caption,
// reads the settings (notices before any window), shows the main window and
// runs until it closes. Returns the exit status.
int Main(QApplication& app);

// Sets up the process-wide parts that come from the platform: program folder,
// the user's decimal separator, the Qt dialogs and Qt's own texts in Russian.
void InstallPlatform(QApplication& app);
