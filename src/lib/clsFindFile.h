#pragma once

#include <string>

#include "lib/Collection.h"

// Folder listings into a caller's collection of full paths (UTF-8). Entries
// come sorted by name ignoring case, as Windows file systems return them.
class clsFindFile {
public:
    // Every entry of the folder that is not a folder (hidden files included).
    void FindAllFile(const std::string& strDir, Collection<std::string>& colFD);
    // All sub-folders at every depth, breadth-first; names beginning with "." are skipped.
    // Items the collection already holds are listed too.
    void FindAllDir(const std::string& strDir, Collection<std::string>& colFD);

private:
    void CollectEntries(const std::string& folder, Collection<std::string>& coll,
                        bool takeFolders, bool filesOnly);
};
