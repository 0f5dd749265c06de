#pragma once

#include <string>

#include "lib/Collection.h"

// Folder listings into a caller's collection of full paths (UTF-8). Entries
// come sorted by name ignoring case, as Windows file systems return them.
// Each item is the folder as given, a separator when it does not end in one,
// and the entry's name (a name that is not UTF-8 comes decoded from
// Windows-1251, and opens under that form). A missing folder adds nothing.
class clsFindFile {
  public:
    // Every entry of the folder that is not a folder (hidden files included).
    void FindAllFile(const std::string& strDir, Collection<std::string>& colFD);
    // All sub-folders at every depth, breadth-first; names beginning with "." are skipped.
    // Items the collection already holds are listed too. A link to a folder is
    // listed but not walked into.
    void FindAllDir(const std::string& strDir, Collection<std::string>& colFD);
    // Every file of the tree: the sub-folders' files in breadth-first folder
    // order, then the folder's own; linked folders' files are left out. One
    // trailing separator is removed from strDir.
    void FindAllFailInAllDir(std::string& strDir, Collection<std::string>& cFail);
    // Deletes the folder (relative to the program folder) with everything in it;
    // failures are skipped. Links inside the tree are removed, never followed.
    // Throws InvalidCallError for a folder that is not below the program folder,
    // by its name or through a link on the way.
    void DelDirAndAllFail(const std::string& Dir_On_APP_Path);

  private:
    // One listing of a folder.
    void CollectEntries(const std::string& folder, Collection<std::string>& coll, bool takeFolders,
                        bool filesOnly);
};
