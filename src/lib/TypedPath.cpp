#include "lib/TypedPath.h"

std::optional<TypedPath> splitTypedPath(const std::string& shownFolder, const std::string& text,
                                        const std::string& home) {
    const std::size_t last = text.find_last_of("/\\");
    if (last == std::string::npos) return std::nullopt;
    std::string folder = text.substr(0, last + 1);
    for (char& c : folder)
        if (c == '\\') c = '/';
    if (folder == "~/" || folder.starts_with("~/")) {
        folder = home + folder.substr(1);
    } else if (folder.front() != '/') {
        folder = shownFolder + (shownFolder.ends_with('/') ? "" : "/") + folder;
    }
    return TypedPath{folder, text.substr(last + 1)};
}
