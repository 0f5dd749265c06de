#pragma once

#include <memory>
#include <string>

#include "gcode/PenPoints.h"
#include "lib/FileChoice.h"
#include "lib/MachiningSettings.h"

// What the windows of one run share. Made once at start and handed to every
// window the main window opens; a test makes a fresh one. The accessors keep the
// names the windows have always used.
class Session {
  public:
    // Read from the settings store at start and whenever the parameters dialog
    // closes; the layout and the writers use what is here when they run.
    MachiningSettings& machiningSettings() { return machining_; }

    // The font the font editor and viewer work on: a folder path relative to the
    // program folder, as the font list shows it (for example "font/Simplex").
    std::string& CurrentFont() { return currentFont_; }

    // The tool path and the preview's view bounds, shared by the layout, the
    // G-code reader, the writer and the preview. The list is replaced as a whole,
    // so the G-code list can keep showing an earlier one.
    std::shared_ptr<PenPoints>& penPoints() { return penPoints_; }
    ViewBounds& viewBounds() { return viewBounds_; }

    // The file chooser's last result and file type, so that it opens where it
    // was left.
    FileChoice& fileChoice() { return fileChoice_; }

  private:
    MachiningSettings machining_;
    std::string currentFont_;
    std::shared_ptr<PenPoints> penPoints_ = std::make_shared<PenPoints>();
    ViewBounds viewBounds_;
    FileChoice fileChoice_;
};
