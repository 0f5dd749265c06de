#include "main/FontList.h"

#include "lib/Fail_YN.h"
#include "lib/ProgramFolder.h"
#include "lib/clsFindFile.h"

std::vector<std::string> FontList() {
    Collection<std::string> folders;
    clsFindFile().FindAllDir(joinPath(Fail_YN::AppPath(), "font"), folders);
    std::vector<std::string> fonts;
    fonts.reserve(folders.Count());
    for (const auto& folder : folders) fonts.push_back(Fail_YN::DelAppPath(folder));
    return fonts;
}
