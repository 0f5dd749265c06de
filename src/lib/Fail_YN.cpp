#include "lib/Fail_YN.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <utility>

#include "lib/Dialogs.h"
#include "lib/DiskFiles.h"
#include "lib/ProgramFolder.h"
#include "lib/Text_peob.h"
#include "lib/Win1251.h"

namespace {
bool isSeparator(char c) { return c == '\\' || c == '/'; }

std::string trimSpaces(const std::string& s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

QString toQ(const std::string& path) { return QString::fromStdString(path); }

bool isDrivePath(const std::string& path) { return path.find(':') == 1; }

// The full path of a file named in the library convention.
std::string libraryPath(const std::string& fail, const std::string& folder, bool drivePaths) {
    if (!fail.empty() && fail[0] == '@') return nativeSeparators(fail.substr(1));
    if (fail.starts_with("\\\\")) return nativeSeparators(fail);
    if (drivePaths && isDrivePath(fail)) return nativeSeparators(fail);
    return nativeSeparators(joinPath(folder, fail));
}

std::string asciiLower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

bool containsAny(const std::string& name, std::initializer_list<const char*> parts) {
    const std::string lower = asciiLower(name);
    return std::any_of(parts.begin(), parts.end(),
                       [&](const char* part) { return lower.find(part) != std::string::npos; });
}

std::size_t separatorCount(const std::string& path) {
    return static_cast<std::size_t>(std::count_if(path.begin(), path.end(), isSeparator));
}

std::string replaceSeparators(std::string path, char by) {
    for (char& c : path)
        if (isSeparator(c)) c = by;
    return path;
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

std::string Fail_YN::RashirenieView(const std::string& Fail) {
    const auto point = Fail.rfind('.');
    return point == std::string::npos ? std::string() : Fail.substr(point + 1);
}

std::string Fail_YN::AppPath() {
    std::string path = trimSpaces(programFolder());
    if (path.size() > 1 && isSeparator(path.back())) path.pop_back();
    return path;
}

std::string Fail_YN::DelAppPath(const std::string& Path) {
    const QString app = toQ(AppPath());
    const QString path = toQ(Path);
    if (app.isEmpty() || !path.startsWith(app, Qt::CaseInsensitive)) return {};
    // "/prog2/x" is not below "/prog": the folder name must end where the app folder does.
    qsizetype cut = app.size();
    const bool appEndsInSeparator = app.endsWith('/') || app.endsWith('\\');
    if (!appEndsInSeparator) {
        if (path.size() == app.size()) return {};
        if (path[cut] != '/' && path[cut] != '\\') return {};
        ++cut;
    }
    return path.mid(cut).toStdString();
}

bool Fail_YN::FailYN(const std::string& Fail) {
    FILE* file = disk::openRegularFile(libraryPath(Fail, programFolder(), false));
    if (!file) return true;
    std::fclose(file);
    return false;
}

bool Fail_YN::FailNewNull(const std::string& Fail) {
    const std::string path = libraryPath(Fail, AppPath(), true);
    // Opening a named pipe for writing waits for a reader that never comes.
    const QFileInfo existing(toQ(path));
    if (existing.exists() && !existing.isFile()) return true;
    QFile file(toQ(path));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return true;
    file.close();
    return false;
}

void Fail_YN::FailNewNull_kill(const std::string& Fail) {
    QFile::remove(toQ(libraryPath(Fail, AppPath(), true)));
}

void Fail_YN::RecTreeStart(const std::string& CurPath, std::vector<std::string>& CopyPath) {
    std::string prefix = CurPath;
    if (prefix.empty() || !isSeparator(prefix.back())) prefix += kPathSeparator;
    std::vector<std::string> names;
    for (const disk::Entry& entry : disk::entries(nativeSeparators(prefix)))
        if (entry.regular && !entry.name.starts_with('.')) names.push_back(entry.name);
    if (names.empty()) return;
    CopyPath.resize(names.size() + 1);
    for (std::size_t i = 0; i < names.size(); ++i) CopyPath[i + 1] = prefix + names[i];
}

bool Fail_YN::YNPic(const std::string& NameFail) {
    return containsAny(NameFail, {".bmp", ".jpg", ".jpeg", ".gif", ".png"});
}

void Fail_YN::YNFailPic(std::string& picPuti) {
    if (!FailYN(picPuti)) return;
    dialogs().message(cp("Файл ") + win1251::fromUtf8(picPuti) + cp(" не найден"), "",
                      Dialogs::Icon::Error);
    picPuti = "nopic.bmp";
}

std::string Fail_YN::AutoNameFail(const std::string& DirFail, std::string& Rashirenie,
                                  const std::string& NameFail) {
    const std::string stem = (NameFail.empty() ? std::string("ob") : NameFail) + "-";
    std::string folder = trimSpaces(DirFail);
    if (!folder.empty() && !isSeparator(folder.back())) folder += kPathSeparator;
    Rashirenie = trimSpaces(Rashirenie);
    if (!Rashirenie.starts_with('.')) {
        // Not insert(0, "."): g++ 12 at -O3 takes that for an overlapping copy (-Wrestrict).
        std::string dotted(1, '.');
        dotted += Rashirenie;
        Rashirenie = std::move(dotted);
    }
    for (int n = 1; n <= 32000; ++n) {
        std::string name = stem + std::to_string(n) + Rashirenie;
        if (FailYN(folder + name)) return name;
    }
    dialogs().message(cp("Автоматическое присвоение имени невозможно"), "", Dialogs::Icon::Error);
    return {};
}

void Fail_YN::DirCreat(std::string& DirLocal) {
    std::string folder = DirLocal;
    if (!folder.empty() && isSeparator(folder.back())) folder.pop_back();
    DirLocal = nativeSeparators(joinPath(AppPath(), folder));
    // Anything already there (a folder, empty or not, or a file) is left as it is.
    const QFileInfo info(toQ(DirLocal));
    if (info.exists() || info.isSymLink()) return;
    if (!QDir().mkdir(toQ(DirLocal)))
        throw FolderCreateError(cp("Путь не найден: ") + win1251::fromUtf8(DirLocal));
}

int Fail_YN::TipFail_PoRashir(const std::string& NameFail) {
    if (containsAny(NameFail, {".exe", ".dll"})) return 255;
    if (containsAny(NameFail, {".htm", ".html", ".wrl", ".xml"})) return 4;
    if (containsAny(NameFail, {".gif", ".bmp", ".jpg", ".jpeg", ".png", ".wmf"})) return 10;
    if (containsAny(NameFail, {".swf", ".avi", ".mpg", ".mpeg", ".pdf", ".djvu"})) return 11;
    if (containsAny(NameFail, {".wav", ".mp3"})) return 12;
    return 0;
}

bool Fail_YN::TipFail_PoRashir_11(const std::string& NameFail) {
    return containsAny(NameFail, {".swf"});
}

std::string Fail_YN::SlashOnWWW(const std::string& Path) { return replaceSeparators(Path, '/'); }

std::string Fail_YN::SlashOnLOCAL(const std::string& Path) { return replaceSeparators(Path, '\\'); }

std::string Fail_YN::SlashKOL(const std::string& Path) {
    return std::to_string(separatorCount(Path));
}

std::string Fail_YN::PutiCherezApp(const std::string& InsertPuti, const std::string& FailHTML) {
    const std::size_t depth = separatorCount(FailHTML);
    // Two files straight in the program folder have empty folder parts, which
    // never compare equal; the depth is 0 then and the target comes back as is.
    if (Text_peob::StrRavnoStr(DelFailInPath(InsertPuti), DelFailInPath(FailHTML)))
        return DelPath(InsertPuti);
    std::string up;
    for (std::size_t i = 0; i < depth; ++i) up += "../";
    return up + InsertPuti;
}

std::string Fail_YN::PutiCherezAppDEL(const std::string& Puti) {
    std::string path = SlashOnWWW(Puti);
    std::size_t start = 0;
    while (path.compare(start, 3, "../") == 0) start += 3;
    return path.substr(start);
}

int Fail_YN::PutiCherezAppKOL(const std::string& Puti) {
    int count = 0;
    for (std::size_t pos = 0; Puti.compare(pos, 3, "../") == 0 || Puti.compare(pos, 3, "..\\") == 0;
         pos += 3)
        ++count;
    return count;
}

std::string Fail_YN::PutiPrivedenieOtApp(const std::string& FailResurs,
                                         const std::string& FailIstochnik) {
    const std::size_t depth = separatorCount(FailIstochnik);
    const std::string local = SlashOnLOCAL(FailResurs);
    const auto up = static_cast<std::size_t>(PutiCherezAppKOL(local));
    if (up == depth) return PutiCherezAppDEL(local);
    if (up == 0) return DelFailInPath(FailIstochnik) + local;
    return local;
}

void Fail_YN::MakeDir_OnLocal(const std::string& Puti) {
    std::string path = Puti;
    if (path.starts_with('@'))
        path.erase(0, 1);
    else if (!path.empty() && !isSeparator(path[0]) && !isDrivePath(path))
        path = joinPath(AppPath(), path);
    path = nativeSeparators(path);

    std::vector<std::string> folders;
    for (std::string folder = DelFailInPath(path); !folder.empty();
         folder = DelFailInPath(folder)) {
        folder.pop_back();
        if (folder.empty()) break;
        folders.push_back(folder);
    }
    QDir maker;
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) maker.mkdir(toQ(*it));
}
