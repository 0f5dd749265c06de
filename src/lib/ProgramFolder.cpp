#include "lib/ProgramFolder.h"

namespace {
std::string g_programFolder = ".";
}

const std::string& programFolder() { return g_programFolder; }

void setProgramFolder(const std::string& folder) {
    g_programFolder = folder;
    while (g_programFolder.size() > 1 &&
           (g_programFolder.back() == '/' || g_programFolder.back() == '\\'))
        g_programFolder.pop_back();
}

std::string joinPath(const std::string& a, const std::string& b) {
    if (a.empty()) return b;
    if (a.back() == '/' || a.back() == '\\') return a + b;
    return a + kPathSeparator + b;
}
