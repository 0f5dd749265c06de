#pragma once

#include <optional>
#include <string>

// A path typed or pasted into the file chooser's name box, where file names
// never hold a separator: the folder it leads to and the start of a name after
// its last separator ("/" or "\"). Paths are UTF-8.
struct TypedPath {
    std::string folder;  // "/" in place of "\"; absolute (also "C:/"), or below the folder shown
    std::string namePrefix;  // what follows the last separator; may be empty
};

// Empty when the text holds no separator. "~" at the start stands for `home`.
std::optional<TypedPath> splitTypedPath(const std::string& shownFolder, const std::string& text,
                                        const std::string& home);
