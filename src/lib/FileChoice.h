#pragma once

#include <string>

// The file chooser's result, kept by its callers for the whole run so that the
// chooser opens where it was left. ChosenFolder is a full path (UTF-8) without a
// trailing separator, except a root.
struct FileChoice {
    std::string ChosenFolder;
    std::string ChosenFile;
    int ChoiceConfirmed = 0;
    int FileType = 0;  // the file type chosen last (filetype, 0 to 7)
};
