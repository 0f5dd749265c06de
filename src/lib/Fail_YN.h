#pragma once

#include <string>

// File-name and path helpers. Paths are UTF-8; "\" and "/" both count as
// separators wherever a path is taken apart. Stateless.
class Fail_YN {
  public:
    // Folder part with its trailing separator; "" without a separator.
    static std::string DelFailInPath(const std::string& Path);
    // Last component; the whole text without a separator; "" after a trailing separator.
    static std::string DelPath(const std::string& Path);
    // The name without its extension: everything from the first "." on is cut,
    // unless a separator stands after the last ".".
    static std::string DelRashirenie(const std::string& Fail);
    // The program folder, spaces trimmed, one trailing separator removed.
    static std::string AppPath();
    // The path relative to the program folder (case-insensitive match at the
    // start); "" for the program folder itself and for any path outside it.
    static std::string DelAppPath(const std::string& Path);
    // True when the file, in the library path convention ("@" absolute, "\\"
    // network, else relative to the program folder), cannot be opened for reading.
    static bool FailYN(const std::string& Fail);

    // Every "\" and "/" turned into "/" (web form) or into "\" (the stored local form).
    static std::string SlashOnWWW(const std::string& Path);
    static std::string SlashOnLOCAL(const std::string& Path);
};
