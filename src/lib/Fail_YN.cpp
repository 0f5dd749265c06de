#include "lib/Fail_YN.h"

#include <QString>
#include <cstdio>

#include "lib/ProgramFolder.h"

namespace {
bool isSeparator(char c) { return c == '\\' || c == '/'; }

std::string trimSpaces(const std::string& s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}
}  // namespace

std::string Fail_YN::DelFailInPath(const std::string& Path) {
    for (std::size_t i = Path.size(); i > 0; --i)
        if (isSeparator(Path[i - 1])) return Path.substr(0, i);
    return {};
}

std::string Fail_YN::DelPath(const std::string& Path) {
    for (std::size_t i = Path.size(); i > 0; --i)
        if (isSeparator(Path[i - 1])) return Path.substr(i);
    return Path;
}

std::string Fail_YN::DelRashirenie(const std::string& Fail) {
    for (std::size_t i = Fail.size(); i > 0; --i) {
        if (isSeparator(Fail[i - 1])) return Fail;
        if (Fail[i - 1] == '.') return Fail.substr(0, Fail.find('.'));
    }
    return Fail;
}

std::string Fail_YN::AppPath() {
    std::string path = trimSpaces(programFolder());
    if (path.size() > 1 && isSeparator(path.back())) path.pop_back();
    return path;
}

std::string Fail_YN::DelAppPath(const std::string& Path) {
    const std::string app = AppPath();
    const QString path = QString::fromStdString(Path);
    const QString appQ = QString::fromStdString(app);
    if (app.empty() || !path.startsWith(appQ, Qt::CaseInsensitive)) return {};
    if (Path.size() <= app.size() + 1) return {};
    return Path.substr(app.size() + 1);
}

bool Fail_YN::FailYN(const std::string& Fail) {
    std::string full;
    if (!Fail.empty() && Fail[0] == '@')
        full = Fail.substr(1);
    else if (Fail.rfind("\\\\", 0) == 0)
        full = Fail;
    else
        full = joinPath(programFolder(), Fail);
    for (char& c : full)
        if (c == '\\' && kPathSeparator == '/') c = '/';
    FILE* f = std::fopen(full.c_str(), "rb");
    if (!f) return true;
    std::fclose(f);
    return false;
}

std::string Fail_YN::SlashOnWWW(const std::string& Path) {
    std::string out = Path;
    for (char& c : out)
        if (isSeparator(c)) c = '/';
    return out;
}

std::string Fail_YN::SlashOnLOCAL(const std::string& Path) {
    std::string out = Path;
    for (char& c : out)
        if (isSeparator(c)) c = '\\';
    return out;
}
