#pragma once

#include <string>
#include <vector>

#include "lib/VezorError.h"

// A folder could not be created (its parent is missing, or access is denied).
class FolderCreateError : public FileWriteError {
  public:
    using FileWriteError::FileWriteError;
};

// File-name and path helpers. Paths are UTF-8; "\" and "/" both count as
// separators wherever a path is taken apart. Stateless.
//
// Library path convention (FailYN, FailNewNull, FailNewNull_kill): "@" + an
// absolute path; "\\" + a network path; otherwise relative to the program folder
// (FailNewNull and FailNewNull_kill also take a drive path such as "C:\x" as is).
class Fail_YN {
  public:
    // Folder part with its trailing separator; "" without a separator.
    static std::string DelFailInPath(const std::string& Path);
    // Last component; the whole text without a separator; "" after a trailing separator.
    static std::string DelPath(const std::string& Path);
    // The name without its extension: everything from the first "." on is cut,
    // unless a separator stands after the last ".".
    static std::string DelRashirenie(const std::string& Fail);
    // Everything after the last "."; "" when there is none.
    static std::string RashirenieView(const std::string& Fail);
    // The program folder, spaces trimmed, one trailing separator removed.
    static std::string AppPath();
    // The path relative to the program folder (case-insensitive match at the
    // start); "" for the program folder itself and for any path outside it.
    static std::string DelAppPath(const std::string& Path);

    // True when the file cannot be opened for reading (missing, a folder, a
    // named pipe or a device, no access).
    static bool FailYN(const std::string& Fail);
    // Creates the file empty (an existing one is emptied); true when that
    // failed. Anything there but a regular file is left alone and fails.
    static bool FailNewNull(const std::string& Fail);
    // Deletes the file; failures are ignored.
    static void FailNewNull_kill(const std::string& Fail);
    // Stores CurPath + name of every ordinary file of the folder (no folders,
    // hidden or system files) at indices 1..n of CopyPath, which gets size n + 1;
    // CopyPath is left alone when there is no such file.
    static void RecTreeStart(const std::string& CurPath, std::vector<std::string>& CopyPath);

    // True when the name holds .bmp, .jpg, .jpeg, .gif or .png anywhere (any case).
    static bool YNPic(const std::string& NameFail);
    // When the picture file is missing, tells the user and points picPuti at "nopic.bmp".
    static void YNFailPic(std::string& picPuti);
    // First free name prefix-n.ext (prefix "ob" when empty) in DirFail (library
    // convention), n from 1 to 32000; "" and a message when all are taken.
    // Rashirenie is trimmed and given its leading "." in place.
    static std::string AutoNameFail(const std::string& DirFail, std::string& Rashirenie,
                                    const std::string& NameFail);
    // Makes sure the folder (relative to the program folder) exists; DirLocal
    // holds the absolute path afterwards. Only the last level is created:
    // throws FolderCreateError when that fails.
    static void DirCreat(std::string& DirLocal);
    // File-type code by the extension found anywhere in the name: 255 program,
    // 4 page, 10 picture, 11 movie or document, 12 sound, 0 other.
    static int TipFail_PoRashir(const std::string& NameFail);
    // True when the name holds ".swf" anywhere (any case).
    static bool TipFail_PoRashir_11(const std::string& NameFail);

    // Every "\" and "/" turned into "/" (web form) or into "\" (the stored local form).
    static std::string SlashOnWWW(const std::string& Path);
    static std::string SlashOnLOCAL(const std::string& Path);
    // Number of separators as decimal text.
    static std::string SlashKOL(const std::string& Path);

    // Reference from the page FailHTML to InsertPuti (both relative to the program folder).
    static std::string PutiCherezApp(const std::string& InsertPuti, const std::string& FailHTML);
    // Web form of the path without its leading "../" groups.
    static std::string PutiCherezAppDEL(const std::string& Puti);
    // Number of leading "../" or "..\" groups.
    static int PutiCherezAppKOL(const std::string& Puti);
    // Path, relative to the program folder, of a resource referenced from a page.
    static std::string PutiPrivedenieOtApp(const std::string& FailResurs,
                                           const std::string& FailIstochnik);
    // Creates every missing folder on the way to the file; failures are ignored.
    // "@" + absolute path, an absolute path, or a path relative to the program folder.
    static void MakeDir_OnLocal(const std::string& Puti);
};
