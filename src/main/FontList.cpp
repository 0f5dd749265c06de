#include "main/FontList.h"

#include <algorithm>

#include "lib/Fail_YN.h"
#include "lib/ProgramFolder.h"
#include "lib/clsFindFile.h"

std::vector<FontEntry> FontEntries() {
    Collection<std::string> folders;
    clsFindFile().FindAllDir(joinPath(Fail_YN::AppPath(), "font"), folders);
    std::vector<FontEntry> fonts;
    fonts.reserve(folders.Count());
    for (const auto& folder : folders) fonts.push_back({Fail_YN::DelAppPath(folder), folder});

    const std::string& shipped = installedFontsFolder();
    if (shipped.empty()) return fonts;
    Collection<std::string> installed;
    clsFindFile().FindAllDir(shipped, installed);
    const std::size_t own = fonts.size();
    for (const auto& folder : installed) {
        std::string name = "font" + folder.substr(shipped.size());
        const auto sameName = [&](const FontEntry& f) { return f.name == name; };
        if (std::none_of(fonts.begin(), fonts.begin() + static_cast<std::ptrdiff_t>(own), sameName))
            fonts.push_back({std::move(name), folder});
    }
    return fonts;
}

std::vector<std::string> FontList() {
    std::vector<std::string> names;
    for (auto& font : FontEntries()) names.push_back(std::move(font.name));
    return names;
}
