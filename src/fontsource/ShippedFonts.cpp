#include "fontsource/ShippedFonts.h"

#include <filesystem>
#include <map>

#include "fontsource/Licences.h"
#include "fontsource/OutlineCompiler.h"
#include "fontsource/SvgFont.h"
#include "lib/Win1251.h"

namespace fontc {
namespace {

constexpr const char* kMain = "A-Chertezh";
constexpr const char* kWide = "Chertezh-Shirokiy";
constexpr const char* kRoman = "Hershey-Roman";
constexpr const char* kScript = "Hershey-Script";
constexpr const char* kCyrillic = "Hershey-Cyrillic";
// The EMS faces of Inkscape's svg_fonts that read well at small heights (EMS
// Allure, a script, does not, and its M is wider than the letter box), renamed as
// their licence asks of a modified font.
constexpr const char* kReadable = "Chitkiy";  // EMS Readability
constexpr const char* kSketch = "Eskiz";      // EMS Tech
// DejaVu Sans drawn along its centre lines, named apart from it as a derivative of
// the Bitstream Vera fonts must be.
constexpr const char* kPlain = "Prostoy";

constexpr const char* kCyrilc1 = "cyrilc_1.jhf";
constexpr const char* kCyrillicKeys = "cyrillic.jhf";

// Hershey glyphs stand on y = 9 (y downward in the file, upward here).
constexpr double kHersheyBaseline = -9;

enum class Format { Lff, Jhf, Svg, Outline };

struct Sources {
    std::vector<std::string> files;  // relative to the format's folder
    Format format = Format::Jhf;
};

Sources sourcesOf(const std::string& folder) {
    if (folder == kMain) return {{"lc_opengost-ar.lff"}, Format::Lff};
    if (folder == kWide) return {{"lc_opengost-br.lff"}, Format::Lff};
    if (folder == kRoman) return {{"rowmans.jhf"}, Format::Jhf};
    if (folder == kScript) return {{"scripts.jhf"}, Format::Jhf};
    if (folder == kCyrillic) return {{"timesr.jhf", kCyrilc1, kCyrillicKeys}, Format::Jhf};
    if (folder == kReadable) return {{"EMSReadability.svg"}, Format::Svg};
    if (folder == kSketch) return {{"EMSTech.svg"}, Format::Svg};
    if (folder == kPlain) return {{"DejaVuSans.ttf"}, Format::Outline};
    throw FontSourceError("нет такого шрифта среди поставляемых: " + folder);
}

std::string pathOf(const std::string& file, Format format, const SourceFolders& sources) {
    const std::string& root = format == Format::Lff   ? sources.lff
                              : format == Format::Jhf ? sources.jhf
                              : format == Format::Svg ? sources.svg
                                                      : sources.outline;
    return (std::filesystem::path(root) / file).string();
}

// The metadata names the maker, the converter and the font it derives from, but no year.
std::string svgCopyright(const SvgFont& font) {
    const auto field = [&](const char* key) {
        const auto it = font.metadata.find(key);
        return it == font.metadata.end() ? std::string() : it->second;
    };
    return "Copyright (c) " + field("Created by") + " (" + field("Font name") +
           "; SVG font conversion by " + field("SVG font conversion by") + "),\na derivative of " +
           field("A derivative of") + " by " + field("Designer") + ".";
}

FontRecipe svgShipped(const std::string& folder, const std::string& file,
                      const SourceFolders& sources) {
    const SvgFont font = parseSvgFont(readSourceFile(pathOf(file, Format::Svg, sources)));
    FontRecipe recipe = svgRecipe(font, folder);
    recipe.licence = oflLicence(folder, file, svgCopyright(font), "Inkscape's svg_fonts");
    return recipe;
}

std::string oflCopyright(const LffFont& font) {
    const auto field = [&](const char* key) {
        const auto it = font.header.find(key);
        return it == font.header.end() ? std::string() : it->second;
    };
    return "Copyright (c) " + field("Created").substr(0, 4) + ", " + field("Author");
}

// Which Hershey glyph is which Cyrillic letter, found by drawing both files
// (--glyph-index) and looking. cyrilc_1.jhf holds the Hershey complex Cyrillic
// glyphs 2801-2826 (А to Щ) and 2901-2926 (а to щ) in the places of A-Z and
// a-z; cyrillic.jhf holds the whole alphabet in a keyboard order but lacks Й
// (its "E" repeats "I"), and its "c" repeats Э instead of holding э. Neither has
// Ё, ё or э: they are composed below. Both files draw the shared letters alike.
struct CyrillicGlyph {
    int code;          // Windows-1251
    const char* file;  // source file
    int index;         // position of the glyph in the file (0 is the space)
};

constexpr CyrillicGlyph kCyrillicTable[] = {
    {192, kCyrilc1, 33},       // А  2801
    {193, kCyrilc1, 34},       // Б  2802
    {194, kCyrilc1, 35},       // В  2803
    {195, kCyrilc1, 36},       // Г  2804
    {196, kCyrilc1, 37},       // Д  2805
    {197, kCyrilc1, 38},       // Е  2806
    {198, kCyrilc1, 39},       // Ж  2807
    {199, kCyrilc1, 40},       // З  2808
    {200, kCyrilc1, 41},       // И  2809
    {201, kCyrilc1, 42},       // Й  2810
    {202, kCyrilc1, 43},       // К  2811
    {203, kCyrilc1, 44},       // Л  2812
    {204, kCyrilc1, 45},       // М  2813
    {205, kCyrilc1, 46},       // Н  2814
    {206, kCyrilc1, 47},       // О  2815
    {207, kCyrilc1, 48},       // П  2816
    {208, kCyrilc1, 49},       // Р  2817
    {209, kCyrilc1, 50},       // С  2818
    {210, kCyrilc1, 51},       // Т  2819
    {211, kCyrilc1, 52},       // У  2820
    {212, kCyrilc1, 53},       // Ф  2821
    {213, kCyrilc1, 54},       // Х  2822
    {214, kCyrilc1, 55},       // Ц  2823
    {215, kCyrilc1, 56},       // Ч  2824
    {216, kCyrilc1, 57},       // Ш  2825
    {217, kCyrilc1, 58},       // Щ  2826
    {218, kCyrillicKeys, 61},  // Ъ  "]"
    {219, kCyrillicKeys, 4},   // Ы  "$"
    {220, kCyrillicKeys, 63},  // Ь  "_"
    {221, kCyrillicKeys, 35},  // Э  "C"
    {222, kCyrillicKeys, 53},  // Ю  "U"
    {223, kCyrillicKeys, 62},  // Я  "^"
    {224, kCyrilc1, 65},       // а  2901
    {225, kCyrilc1, 66},       // б  2902
    {226, kCyrilc1, 67},       // в  2903
    {227, kCyrilc1, 68},       // г  2904
    {228, kCyrilc1, 69},       // д  2905
    {229, kCyrilc1, 70},       // е  2906
    {230, kCyrilc1, 71},       // ж  2907
    {231, kCyrilc1, 72},       // з  2908
    {232, kCyrilc1, 73},       // и  2909
    {233, kCyrilc1, 74},       // й  2910
    {234, kCyrilc1, 75},       // к  2911
    {235, kCyrilc1, 76},       // л  2912
    {236, kCyrilc1, 77},       // м  2913
    {237, kCyrilc1, 78},       // н  2914
    {238, kCyrilc1, 79},       // о  2915
    {239, kCyrilc1, 80},       // п  2916
    {240, kCyrilc1, 81},       // р  2917
    {241, kCyrilc1, 82},       // с  2918
    {242, kCyrilc1, 83},       // т  2919
    {243, kCyrilc1, 84},       // у  2920
    {244, kCyrilc1, 85},       // ф  2921
    {245, kCyrilc1, 86},       // х  2922
    {246, kCyrilc1, 87},       // ц  2923
    {247, kCyrilc1, 88},       // ч  2924
    {248, kCyrilc1, 89},       // ш  2925
    {249, kCyrilc1, 90},       // щ  2926
    {250, kCyrillicKeys, 92},  // ъ  "|"
    {251, kCyrillicKeys, 6},   // ы  "&"
    {252, kCyrillicKeys, 94},  // ь  "~"
    {254, kCyrillicKeys, 85},  // ю  "u"
    {255, kCyrillicKeys, 93},  // я  "}"
};

Bounds boundsOf(const SourceGlyph& glyph) {
    Bounds b;
    for (const auto& path : glyph.paths)
        for (const auto& v : path) b.add(v.p);
    return b;
}

// A dot as the Hershey complex period draws it: a small diamond.
SourcePath hersheyDot(Point centre) {
    return {{{centre.x, centre.y + 1}, 0},
            {{centre.x - 1, centre.y}, 0},
            {{centre.x, centre.y - 1}, 0},
            {{centre.x + 1, centre.y}, 0},
            {{centre.x, centre.y + 1}, 0}};
}

// The letter with two dots above it (Ё from Е), as high above it as the breve of Й.
SourceGlyph withDiaeresis(SourceGlyph glyph) {
    const Bounds b = boundsOf(glyph);
    const double middle = (b.minX + b.maxX) / 2;
    glyph.paths.push_back(hersheyDot({middle - 3, b.maxY + 3}));
    glyph.paths.push_back(hersheyDot({middle + 3, b.maxY + 3}));
    return glyph;
}

// э: с turned round, with the bar of Э at half the x-height.
SourceGlyph smallE(SourceGlyph c) {
    const Bounds b = boundsOf(c);
    for (auto& path : c.paths)
        for (auto& v : path) v.p.x = b.minX + b.maxX - v.p.x;
    const double middle = (b.minY + b.maxY) / 2;
    c.paths.push_back({{{(b.minX + b.maxX) / 2 - 1.5, middle}, 0}, {{b.maxX - 1, middle}, 0}});
    return c;
}

// №: N with a small raised o, underlined.
SourceGlyph numeroSign(const SourceGlyph& n, SourceGlyph o) {
    const Bounds nb = boundsOf(n);
    const Bounds ob = boundsOf(o);
    const double k = 0.6;
    const Point to{nb.maxX + 1 - ob.minX * k, nb.maxY - 1 - ob.maxY * k};
    for (auto& path : o.paths)
        for (auto& v : path) v.p = v.p * k + to;
    SourceGlyph sign = n;
    sign.paths.insert(sign.paths.end(), o.paths.begin(), o.paths.end());
    const double underline = to.y + ob.minY * k - 2;
    sign.paths.push_back(
        {{{to.x + ob.minX * k, underline}, 0}, {{to.x + ob.maxX * k, underline}, 0}});
    return sign;
}

FontRecipe cyrillicShipped(const std::string& folder, const SourceFolders& sources) {
    FontRecipe recipe = jhfAsciiRecipe(
        parseJhf(readSourceFile(pathOf("timesr.jhf", Format::Jhf, sources))), folder);
    std::map<std::string, std::vector<JhfGlyph>> files;
    for (const char* file : {kCyrilc1, kCyrillicKeys})
        files[file] = parseJhf(readSourceFile(pathOf(file, Format::Jhf, sources)));
    for (const auto& entry : kCyrillicTable) {
        const auto& glyphs = files.at(entry.file);
        if (entry.index >= static_cast<int>(glyphs.size()))
            throw FontSourceError(std::string(entry.file) + ": знаков меньше, чем ожидалось");
        recipe.glyphs[entry.code] = glyphs[entry.index].glyph;
    }
    recipe.glyphs[168] = withDiaeresis(recipe.glyphs.at(197));
    recipe.glyphs[184] = withDiaeresis(recipe.glyphs.at(229));
    recipe.glyphs[253] = smallE(recipe.glyphs.at(241));
    recipe.glyphs[185] = numeroSign(recipe.glyphs.at('N'), recipe.glyphs.at('o'));
    recipe.licence = hersheyLicence(folder, "timesr.jhf, cyrilc_1.jhf, cyrillic.jhf");
    return recipe;
}

FontRecipe lffShipped(const std::string& folder, const std::string& file,
                      const SourceFolders& sources) {
    const LffFont font = parseLff(readSourceFile(pathOf(file, Format::Lff, sources)));
    FontRecipe recipe = lffRecipe(font, folder);
    recipe.licence = oflLicence(folder, file, oflCopyright(font));
    return recipe;
}

}  // namespace

std::vector<std::string> shippedFontNames() {
    return {kMain, kWide, kCyrillic, kRoman, kScript, kReadable, kSketch, kPlain};
}

std::vector<std::string> missingSources(const std::string& folder, const SourceFolders& sources) {
    std::vector<std::string> missing;
    const Sources s = sourcesOf(folder);
#ifndef VEZOR_OUTLINE
    if (s.format == Format::Outline) return {"outline fonts (built without them)"};
#endif
    for (const auto& file : s.files) {
        const std::string path = pathOf(file, s.format, sources);
        if (!std::filesystem::is_regular_file(path)) missing.push_back(path);
    }
    return missing;
}

FontRecipe lffRecipe(const LffFont& font, const std::string& folder) {
    FontRecipe recipe;
    recipe.folder = folder;
    for (int code = 33; code < 256; ++code) {
        const auto it = font.glyphs.find(win1251::toUnicode(static_cast<unsigned char>(code)));
        if (it != font.glyphs.end() && !it->second.paths.empty()) recipe.glyphs[code] = it->second;
    }
    return recipe;
}

FontRecipe jhfAsciiRecipe(const std::vector<JhfGlyph>& glyphs, const std::string& folder) {
    FontRecipe recipe;
    recipe.folder = folder;
    recipe.baseline = kHersheyBaseline;
    for (std::size_t i = 1; i < glyphs.size() && 32 + i < 127; ++i)
        if (!glyphs[i].glyph.paths.empty())
            recipe.glyphs[static_cast<int>(32 + i)] = glyphs[i].glyph;
    return recipe;
}

namespace {

FontRecipe shippedRecipe(const std::string& folder, const SourceFolders& sources) {
    const Sources s = sourcesOf(folder);
    if (s.format == Format::Lff) return lffShipped(folder, s.files[0], sources);
    if (s.format == Format::Svg) return svgShipped(folder, s.files[0], sources);
    if (s.format == Format::Outline) {
#ifdef VEZOR_OUTLINE
        return outlineFontRecipe(
            OutlineFont(readSourceFile(pathOf(s.files[0], Format::Outline, sources))), folder);
#else
        throw FontSourceError(folder + ": this build reads no outline fonts");
#endif
    }
    if (folder == kCyrillic) return cyrillicShipped(folder, sources);
    FontRecipe recipe =
        jhfAsciiRecipe(parseJhf(readSourceFile(pathOf(s.files[0], Format::Jhf, sources))), folder);
    std::string names = s.files[0];
    for (std::size_t i = 1; i < s.files.size(); ++i) names += ", " + s.files[i];
    recipe.licence = hersheyLicence(folder, names);
    return recipe;
}

}  // namespace

FontRecipe shippedFontRecipe(const std::string& folder, const SourceFolders& sources) {
    FontRecipe recipe = shippedRecipe(folder, sources);
    // Their letters were judged on sheets as joined words, and the programs made
    // with them have always joined them.
    recipe.lettersJoin = true;
    return recipe;
}

}  // namespace fontc
