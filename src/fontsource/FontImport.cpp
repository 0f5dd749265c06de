#include "fontsource/FontImport.h"

#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "font/FontStorage.h"
#include "fontsource/FontSources.h"
#include "fontsource/ShippedFonts.h"
#include "fontsource/SvgFont.h"
#include "gcode/MoveNumber.h"
#include "lib/DiskFiles.h"
#include "lib/TextFile.h"
#include "lib/VezorError.h"
#include "lib/Win1251.h"

namespace fontc {
namespace {

namespace fs = std::filesystem;

std::string lowerExtension(const std::string& path) {
    std::string ext = disk::utf8Path(disk::fsPath(path).extension());
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ext;
}

std::string quoted(int code) {
    return "«" + win1251::toUtf8(std::string(1, static_cast<char>(code))) + "»";
}

std::string figure(double value) { return movenumber::fixedText(value, 1, false); }

std::string worstList(const std::vector<std::pair<double, int>>& worst) {
    std::string out;
    for (const auto& [length, code] : worst)
        out += (out.empty() ? " " : ", ") + quoted(code) + " " + figure(length);
    return out.empty() ? " —" : out;
}

// A name no other run picks: the folder must not exist yet.
fs::path freshFolder(const fs::path& beside, const std::string& what) {
    for (;;) {
        const fs::path candidate =
            beside / ("." + what + "-" + std::to_string(QRandomGenerator::global()->generate()));
        if (!fs::exists(candidate)) return candidate;
    }
}

void writeScratchFile(const fs::path& path, const std::string& bytes) {
    std::FILE* f = disk::openFile(disk::utf8Path(path), "wb");
    if (!f)
        throw fs::filesystem_error("open", path, std::error_code(errno, std::generic_category()));
    const bool written =
        std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size() && std::fflush(f) == 0;
    const int error = errno;
    if (std::fclose(f) != 0 || !written)
        throw fs::filesystem_error(
            "write", path, std::error_code(written ? errno : error, std::generic_category()));
}

// The letters go into a folder no one reads until it is renamed into place, so
// they need not be written one by one through a synced temporary file (which
// costs a disk sync per letter, seconds for a font): plain writes, then one
// sync of the file system before the rename.
void writeScratchFolder(const CompiledFont& font, const fs::path& folder) {
    fs::create_directory(folder);
    for (const auto& [code, letter] : font.letters)
        writeScratchFile(folder / std::to_string(code), textfile::joinCrLf(letter.lines));
    if (!font.licence.empty()) writeScratchFile(folder / "LICENSE.txt", font.licence);
    if (!font.lettersJoin) writeScratchFile(folder / kFontSettingsFile, FontSettingsText(false));
    if (!disk::syncFolder(disk::utf8Path(folder)))
        throw fs::filesystem_error("sync", folder, std::error_code(errno, std::generic_category()));
}

// A font without a single letter the program can write is no font to make.
FontRecipe withLetters(FontRecipe recipe) {
    if (recipe.glyphs.empty())
        throw FontSourceError(
            "в файле нет ни одной буквы, которую можно записать в кодировке "
            "Windows-1251");
    return recipe;
}

[[noreturn]] void writeFailed(const std::string& name, const std::string& why) {
    throw FileWriteError(win1251::fromUtf8("Шрифт «" + name + "» не записан: ") + why);
}

}  // namespace

FontRecipe importRecipe(const std::string& path, const std::string& folder) {
    const std::string ext = lowerExtension(path);
    if (ext != ".lff" && ext != ".jhf" && ext != ".svg")
        throw FontSourceError("файл не является шрифтом .lff, .jhf или .svg");
    const std::string text = readSourceFile(path);
    if (ext == ".svg") return withLetters(svgRecipe(parseSvgFont(text), folder));
    if (ext == ".lff") {
        const LffFont font = parseLff(text);
        FontRecipe recipe = lffRecipe(font, folder);
        std::size_t drawn = 0;
        for (const auto& [code, glyph] : font.glyphs)
            if (!glyph.paths.empty() && code > U' ') ++drawn;
        if (drawn > recipe.glyphs.size())
            recipe.leftOut.push_back("знаков вне кодировки Windows-1251: " +
                                     std::to_string(drawn - recipe.glyphs.size()));
        if (font.repeated > 0)
            recipe.leftOut.push_back("повторных глифов того же знака: " +
                                     std::to_string(font.repeated));
        for (const auto& why : font.broken) recipe.leftOut.push_back("не читается, " + why);
        return withLetters(std::move(recipe));
    }
    const auto glyphs = parseJhf(text);
    FontRecipe recipe = jhfAsciiRecipe(glyphs, folder);
    if (glyphs.size() > 95)
        recipe.leftOut.push_back("глифов после знака 126 (файл читается в порядке ASCII): " +
                                 std::to_string(glyphs.size() - 95));
    return withLetters(std::move(recipe));
}

std::string badFontName(const std::string& name) {
    if (name.empty()) return "имя шрифта не задано";
    if (name.size() > 100) return "имя шрифта длиннее 100 байт";
    for (char c : name)
        if (static_cast<unsigned char>(c) < 32 ||
            std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos)
            return "в имени шрифта не может быть знаков / \\ : * ? \" < > |";
    if (name.front() == '.' || name.front() == ' ')
        return "имя шрифта не может начинаться с точки или пробела";
    if (name.back() == '.' || name.back() == ' ')
        return "имя шрифта не может кончаться точкой или пробелом";
    return "";
}

void installFontFolder(const CompiledFont& font, const std::string& parent,
                       const std::string& name) {
    const fs::path root = disk::fsPath(parent);
    const fs::path target = root / disk::fsPath(name);
    const fs::path beside = root.has_parent_path() ? root.parent_path() : root;
    std::error_code ignored;
    fs::path fresh;
    try {
        fs::create_directories(root);
        fresh = freshFolder(beside, "font-import");
        writeScratchFolder(font, fresh);
        if (!fs::exists(target)) {
            fs::rename(fresh, target);
            return;
        }
        // Renames within one folder are whole or nothing: the old font steps
        // aside, the new one takes its name, and only then the old one goes.
        const fs::path old = freshFolder(beside, "font-replaced");
        fs::rename(target, old);
        try {
            fs::rename(fresh, target);
        } catch (...) {
            fs::rename(old, target, ignored);
            throw;
        }
        fs::remove_all(old, ignored);
    } catch (const VezorError& e) {
        if (!fresh.empty()) fs::remove_all(fresh, ignored);
        writeFailed(name, e.message());
    } catch (const fs::filesystem_error& e) {
        if (!fresh.empty()) fs::remove_all(fresh, ignored);
        writeFailed(name, e.code().message());
    }
}

std::string importReport(const CompiledFont& font, const std::string& fontName) {
    const JoinFigures f = joinFigures(font);
    std::string out = "Шрифт «" + fontName + "»: букв " + std::to_string(font.letters.size()) +
                      ".\n\nСоединительные линии между частями букв: " + figure(f.connectors) +
                      ", прочерчено повторно: " + figure(f.retraces) +
                      " (единицы буквы, поле буквы 100 в высоту).\n" +
                      "Если в «Свойствах нового кода» включён «Разрыв внутри буквы», перо "
                      "поднимается над " +
                      figure(f.liftedOver) + " из них, повторно прочерченного остаётся " +
                      figure(f.retraceLeft) +
                      ".\n\nБольше всего соединений:" + worstList(f.mostConnector) +
                      "\nБольше всего повторов:" + worstList(f.mostRetraced) + "\n\n";
    if (!font.lettersJoin)
        out +=
            "Между буквами слова перо поднимается: буквы шрифта не нарисованы для письма "
            "слитно. Если они для него годятся, отметьте «Буквы слова соединяются» в "
            "редакторе шрифта.\n\n";
    if (font.tooWide.empty() && font.leftOut.empty()) return out + "Пропущенных букв нет.\n";
    out += "Пропущены:\n";
    for (int code : font.tooWide)
        out += "  шире поля буквы: " + quoted(code) + " (" + std::to_string(code) + ")\n";
    for (const auto& line : font.leftOut) out += "  " + line + "\n";
    return out;
}

}  // namespace fontc
