#include "lib/TypedPath.h"

#include <cctype>

std::optional<TypedPath> splitTypedPath(const std::string& shownFolder, const std::string& text,
                                        const std::string& home) {
    const std::size_t last = text.find_last_of("/\\");
    if (last == std::string::npos) return std::nullopt;
    std::string folder = text.substr(0, last + 1);
    for (char& c : folder)
        if (c == '\\') c = '/';
    const bool drive = folder.size() >= 3 && std::isalpha(static_cast<unsigned char>(folder[0])) &&
                       folder[1] == ':' && folder[2] == '/';
    if (folder.starts_with("~/")) {
        folder = home + folder.substr(1);
    } else if (folder.front() != '/' && !drive) {
        folder = shownFolder + (shownFolder.ends_with('/') ? "" : "/") + folder;
    }
    return TypedPath{folder, text.substr(last + 1)};
}
