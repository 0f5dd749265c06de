#pragma once

#include <string>

#include "lib/Collection.h"

// Folder listings into a caller's collection of full paths (UTF-8). Entries
// come sorted by name ignoring case, as Windows file systems return them.
// Each item is the folder as given, a separator when it does not end in one,
// and the entry's name. A missing folder adds nothing.
class clsFindFile {
  public:
    // Every entry of the folder that is not a folder (hidden files included).
    void FindAllFile(const std::string& strDir, Collection<std::string>& colFD);
    // All sub-folders at every depth, breadth-first; names beginning with "." are skipped.
    // Items the collection already holds are listed too. A folder reached a
    // second time through a link is not listed again, so link loops end.
    void FindAllDir(const std::string& strDir, Collection<std::string>& colFD);
    // Every file of the tree: the sub-folders' files in breadth-first folder
    // order, then the folder's own. One trailing separator is removed from strDir.
    void FindAllFailInAllDir(std::string& strDir, Collection<std::string>& cFail);
    // Deletes the folder (relative to the program folder) with everything in it;
    // failures are skipped. Links inside the tree are removed, never followed.
    // Throws InvalidCallError for a folder that is not below the program folder.
    void DelDirAndAllFail(const std::string& Dir_On_APP_Path);

  private:
    // One listing of a folder; true when the folder could be read.
    bool CollectEntries(const std::string& folder, Collection<std::string>& coll, bool takeFolders,
                        bool filesOnly);
};
