#pragma once

#include <string>

// The file chooser's result, shared with its callers for the whole run.
// ChosenFolder is a full path (UTF-8) without a trailing separator, except a root.
struct FileChoice {
    std::string ChosenFolder;
    std::string ChosenFile;
    int ChoiceConfirmed = 0;
};

FileChoice& fileChoice();
