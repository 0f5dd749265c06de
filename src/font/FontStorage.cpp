#include "font/FontStorage.h"

#include <QDir>
#include <QFile>

#include "lib/Fail_YN.h"
#include "lib/NumberText.h"
#include "lib/ProgramFolder.h"
#include "lib/TextFile.h"
#include "lib/VezorError.h"
#include "lib/Win1251.h"
#include "lib/clsFindFile.h"

std::string FontFolderPath(const std::string& fontPath) {
    if (isAbsolutePath(fontPath)) return fontPath;
    const std::string relative = nativeSeparators(fontPath);
    std::string folder = joinPath(programFolder(), relative);
    const std::string& shipped = installedFontsFolder();
    if (!shipped.empty() && relative.starts_with(std::string("font") + kPathSeparator) &&
        !textfile::isDirectory(folder)) {
        std::string installed = joinPath(shipped, relative.substr(5));
        if (textfile::isDirectory(installed)) return installed;
    }
    return folder;
}

namespace {
// A letter aimed at an installed font goes into the user's copy of that font,
// made whole first: the user's font hides the installed one entirely, so a copy
// of one letter would lose all the others.
std::string writableLetterPath(const std::string& path) {
    const std::string& shipped = installedFontsFolder();
    if (shipped.empty() || !path.starts_with(shipped + kPathSeparator)) return path;
    const std::string rest = path.substr(shipped.size() + 1);
    std::string font = Fail_YN::DelFailInPath(rest);
    if (font.empty()) return path;
    font.pop_back();
    const QString from = QString::fromStdString(joinPath(shipped, font));
    const QString to = QString::fromStdString(
        joinPath(programFolder(), std::string("font") + kPathSeparator + font));
    if (!QDir(to).exists()) {
        const auto failed = [&] {
            return FileWriteError(cp("Не удалось создать папку ") +
                                  win1251::fromUtf8(to.toStdString()));
        };
        const QString partial = to + QStringLiteral(".part");
        QDir(partial).removeRecursively();
        if (!QDir().mkpath(partial)) throw failed();
        for (const QString& name : QDir(from).entryList(QDir::Files | QDir::Hidden))
            if (!QFile::copy(from + '/' + name, partial + '/' + name)) {
                QDir(partial).removeRecursively();
                throw failed();
            }
        // Whole or not at all: a half copy would hide the installed letters it lacks.
        if (!QDir().rename(partial, to)) {
            QDir(partial).removeRecursively();
            throw failed();
        }
    }
    return joinPath(to.toStdString(), Fail_YN::DelPath(rest));
}

// The code a letter file's name stands for, or -1.
int codeOfName(const std::string& name) {
    if (name.empty() || name.size() > 3) return -1;
    int code = 0;
    for (char c : name) {
        if (c < '0' || c > '9') return -1;
        code = code * 10 + (c - '0');
    }
    if (code > 255 || std::to_string(code) != name) return -1;
    return code;
}
}  // namespace

std::string LetterFilePath(const std::string& fontPath, int code) {
    return joinPath(FontFolderPath(fontPath), std::to_string(code));
}

std::vector<std::string> ReadLetterLines(const std::string& path) {
    return textfile::splitLines(textfile::readBytes(path));
}

bool ParsePointLine(std::string_view line, double& x, double& y) {
    const auto comma = line.find(',');
    if (comma == std::string_view::npos) {
        x = numtext::leadingNumber(line);
        y = 0;
        return false;
    }
    x = numtext::leadingNumber(line.substr(0, comma));
    y = numtext::leadingNumber(line.substr(comma + 1));
    return true;
}

bool IsStrokeBreak(const std::vector<std::string>& lines, std::size_t i) {
    if (i == 0 || i + 1 >= lines.size()) return false;
    double x = 0;
    double y = 0;
    return ParsePointLine(lines[i], x, y) && x == 0 && y == 0;
}

std::string FormatCoordinate(double value) {
    std::string s = numtext::shortest(numtext::roundHalfEven(value, 2), '.');
    if (s.starts_with("0."))
        s.erase(0, 1);
    else if (s.starts_with("-0."))
        s.erase(1, 1);
    return s;
}

void WriteLetterFile(const std::string& path, const std::vector<std::string>& lines) {
    textfile::writeAtomically(writableLetterPath(path), textfile::joinCrLf(lines));
}

namespace {
constexpr std::string_view kJoinKey = "JoinLetters=";
}  // namespace

bool FontLettersJoin(const std::string& fontPath) {
    if (fontPath.empty()) return true;
    std::string bytes;
    try {
        bytes = textfile::readBytes(joinPath(FontFolderPath(fontPath), kFontSettingsFile));
    } catch (const VezorError&) {
        return true;
    }
    for (const std::string& line : textfile::splitLines(bytes))
        if (line.starts_with(kJoinKey)) return line.substr(kJoinKey.size()) != "0";
    return true;
}

std::string FontSettingsText(bool lettersJoin) {
    return std::string(
               "; VEzor: 1 - the pen runs on from one letter of a word to the next,\r\n"
               "; 0 - it lifts between them\r\n") +
           std::string(kJoinKey) + (lettersJoin ? "1" : "0") + "\r\n";
}

void WriteFontLettersJoin(const std::string& fontPath, bool lettersJoin) {
    textfile::writeAtomically(
        writableLetterPath(joinPath(FontFolderPath(fontPath), kFontSettingsFile)),
        FontSettingsText(lettersJoin));
}

std::vector<int> ListFontLetters(const std::string& fontPath) {
    Collection<std::string> files;
    clsFindFile().FindAllFile(FontFolderPath(fontPath), files);
    std::vector<int> codes;
    for (const auto& file : files) {
        const int code = codeOfName(Fail_YN::DelPath(file));
        if (code >= 0) codes.push_back(code);
    }
    return codes;
}
