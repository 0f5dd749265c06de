#include "lib/ProgramFolder.h"

#include <QDir>
#include <QStandardPaths>

#include "lib/TextFile.h"
#include "lib/Win1251.h"

namespace {
#ifdef _WIN32
constexpr bool kDrivePaths = true;
#else
constexpr bool kDrivePaths = false;
#endif

std::string g_programFolder = ".";
std::string g_installedFonts;

std::string withoutTrailingSeparators(std::string folder) {
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
    return folder;
}
}  // namespace

const std::string& programFolder() { return g_programFolder; }

void setProgramFolder(const std::string& folder) {
    g_programFolder = withoutTrailingSeparators(folder);
    g_installedFonts.clear();
}

const std::string& installedFontsFolder() { return g_installedFonts; }

void setInstalledFontsFolder(const std::string& folder) {
    g_installedFonts = folder.empty() ? folder : withoutTrailingSeparators(folder);
}

std::string nativeSeparators(std::string path) {
    for (char& c : path)
        if (c == '/' || c == '\\') c = kPathSeparator;
    return path;
}

bool isAbsolutePath(const std::string& path) {
    if (!path.empty() && (path[0] == '/' || path[0] == '\\')) return true;
    const bool drivePath =
        path.size() >= 3 && path[1] == ':' && (path[2] == '/' || path[2] == '\\');
    return kDrivePaths && drivePath;
}

std::string joinPath(const std::string& a, const std::string& b) {
    if (a.empty()) return b;
    if (a.back() == '/' || a.back() == '\\') return a + b;
    return a + kPathSeparator + b;
}

ProgramPlace SettleProgramPlace(const std::string& executableFolder,
                                const std::string& userFolder) {
    ProgramPlace place;
    if (textfile::isDirectory(joinPath(executableFolder, "font"))) {
        place.folder = withoutTrailingSeparators(executableFolder);
        return place;
    }
    place.folder = withoutTrailingSeparators(userFolder);
    const QString shipped = QDir::cleanPath(QString::fromStdString(executableFolder) +
                                            QStringLiteral("/../share/vezor/font"));
    if (QDir(shipped).exists()) place.installedFonts = shipped.toStdString();

    const std::string userFonts = joinPath(place.folder, "font");
    if (!textfile::isDirectory(userFonts)) {
        const bool firstStart = !textfile::isDirectory(place.folder);
        if (!QDir().mkpath(QString::fromStdString(userFonts)))
            place.notice = cp("Не удалось создать папку ") + win1251::fromUtf8(userFonts);
        else if (firstStart)
            place.notice =
                cp("Создана папка программы ") + win1251::fromUtf8(place.folder) +
                cp("\r\nВ ней хранятся проекты, файлы G-code и ваши шрифты (папка font).");
    }
    return place;
}

std::string DefaultUserFolder() {
#ifdef Q_OS_WIN
    const QString base = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
#else
    const QString base = QDir::homePath();
#endif
    return joinPath(QDir::cleanPath(base).toStdString(), "VEzor");
}

void UseProgramPlace(const ProgramPlace& place) {
    setProgramFolder(place.folder);
    setInstalledFontsFolder(place.installedFonts);
}
