// vezor-fontc: builds the program's font folders from single-stroke fonts.
#include <QGuiApplication>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "FontSheet.h"
#include "fontsource/FontCompiler.h"
#include "fontsource/FontSources.h"
#include "fontsource/OutlineCompiler.h"
#include "fontsource/ShippedFonts.h"
#include "fontsource/SvgFont.h"
#include "lib/DiskFiles.h"
#include "lib/ProgramStart.h"
#include "lib/VezorError.h"
#include "lib/Win1251.h"

namespace {

const char* kHelp =
    "Usage: vezor-fontc [options]\n"
    "Compiles single-stroke fonts into VEzor font folders: one letter file per\n"
    "Windows-1251 code, each letter one stroke inside the 0..110 letter box.\n"
    "\n"
    "  --shipped DIR       build every font that ships with the program into DIR/<font>\n"
    "                      (from the packages librecad-data, hershey-fonts-data and\n"
    "                      fonts-dejavu-core, and the SVG fonts of inkscape)\n"
    "  --lff FILE          compile one LibreCAD .lff font (glyphs keyed by Unicode)\n"
    "  --jhf FILE          compile one Hershey .jhf font (glyphs in ASCII order from 32)\n"
    "  --svg FILE          compile one single-stroke SVG font (glyphs keyed by unicode)\n"
    "  --outline FILE      draw a TrueType or OpenType font (.ttf, .otf, .ttc) along the\n"
    "                      centre lines of its letters; reports per letter how much of\n"
    "                      the glyph a pen of the font's stroke width along them covers\n"
    "                      and spills, and the spurs left\n"
    "  --face N            the face of a .ttc collection --outline reads (default 0)\n"
    "  --out DIR           the font folder --lff, --jhf, --svg or --outline writes\n"
    "  --sheets DIR        also draw a PNG sheet of every font built into DIR\n"
    "  --glyph-index FILE PNG\n"
    "                      draw the glyphs of a .lff or .jhf file as they are, each\n"
    "                      under its position and number, to tell which is which\n"
    "  --lff-dir DIR       where the .lff fonts are (default /usr/share/librecad/fonts)\n"
    "  --jhf-dir DIR       where the .jhf fonts are (default /usr/share/hershey-fonts)\n"
    "  --svg-dir DIR       where the SVG fonts are\n"
    "                      (default /usr/share/inkscape/extensions/svg_fonts)\n"
    "  --outline-dir DIR   where DejaVuSans.ttf is (default /usr/share/fonts/truetype/dejavu)\n"
    "  --help              this text\n"
    "\n"
    "For every font it reports the length of the connecting lines drawn between\n"
    "parts that do not touch and of the segments drawn twice, and the five letters\n"
    "that need the most of each (letter units: the box is 100 high). Each letter\n"
    "file stays one stroke, with a \"0,0\" line before the far end of every\n"
    "connector: with the setting RazrivVBukve=1 the pen lifts there, and the report\n"
    "gives the connector length that takes out of the ink and the retrace left.\n"
    "A font made from one file records in font.ini (JoinLetters=0) that its letters\n"
    "do not join: the pen lifts between the letters of a word (the font editor's\n"
    "switch turns the joins on).\n";

const std::vector<std::string> kSample = {
    "Съешь же ещё этих мягких французских булок, да выпей чаю.",
    "СЪЕШЬ ЖЕ ЕЩЁ ЭТИХ МЯГКИХ ФРАНЦУЗСКИХ БУЛОК, ДА ВЫПЕЙ ЧАЮ!",
    "The quick brown fox jumps over the lazy dog. 0123456789",
    "THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG? (№ 12, §3) «ёлка» — 50мм",
    "Текст после тэга будет на расстоянии 50мм",
    "Pack my box with five dozen liquor jugs: 1+2=3, 7/8 < 9 > 6 [a] {b} #5 $4 @ * 100% ~",
    "PACK MY BOX WITH FIVE DOZEN LIQUOR JUGS! \"quoted\" 'single' a_b ^ `c` |d| & e;"};

int usage(const char* problem) {
    std::fprintf(stderr, "vezor-fontc: %s\nTry --help.\n", problem);
    return 2;
}

void build(const fontc::FontRecipe& recipe, const std::string& outDir, const std::string& sheets) {
    const fontc::CompiledFont font = fontc::compileFont(recipe);
    fontc::writeFontFolder(font, outDir);
    std::fputs(fontc::joinReport(font).c_str(), stdout);
    if (!sheets.empty()) {
        std::filesystem::create_directories(sheets);
        fontc::renderFontSheet(font, std::filesystem::absolute(outDir).string(), kSample,
                               sheets + "/" + font.folder + ".png");
    }
}

#ifdef VEZOR_OUTLINE
void buildOutline(const std::string& file, int face, const std::string& name,
                  const std::string& outDir, const std::string& sheets) {
    const fontc::OutlineFont font(fontc::readSourceFile(file), face);
    const fontc::OutlineConversion conversion = fontc::convertOutlineFont(font, name);
    fontc::writeFontFolder(conversion.font, outDir);
    std::fputs(fontc::joinReport(conversion.font).c_str(), stdout);
    std::fputs(fontc::outlineReport(conversion).c_str(), stdout);
    if (!sheets.empty()) {
        std::filesystem::create_directories(sheets);
        fontc::renderFontSheet(conversion.font, std::filesystem::absolute(outDir).string(), kSample,
                               sheets + "/" + conversion.font.folder + ".png");
    }
}
#endif

void glyphIndex(const std::string& file, const std::string& png) {
    std::vector<std::pair<std::string, std::vector<fontc::Polyline>>> glyphs;
    const std::string text = fontc::readSourceFile(file);
    if (file.ends_with(".jhf")) {
        int index = 0;
        for (const auto& g : fontc::parseJhf(text))
            glyphs.push_back({std::to_string(index++) + " #" + std::to_string(g.number),
                              fontc::flatten(g.glyph, 0.05)});
    } else {
        for (const auto& [code, g] : fontc::parseLff(text).glyphs) {
            char label[16];
            std::snprintf(label, sizeof label, "%04X", static_cast<unsigned>(code));
            glyphs.push_back({label, fontc::flatten(g, 0.01)});
        }
    }
    fontc::renderGlyphIndex(glyphs, png);
}

}  // namespace

int main(int argc, char** argv) {
    programstart::rawConsole();
    const std::vector<std::string> args = programstart::arguments(argc, argv);
    std::string shipped, lff, jhf, svg, outline, face, out, sheets, indexFile, indexPng;
    fontc::SourceFolders sources;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto value = [&](std::string& into) {
            if (i + 1 >= args.size()) return false;
            into = args[++i];
            return true;
        };
        bool ok = true;
        if (a == "--help" || a == "-h") {
            std::fputs(kHelp, stdout);
            return 0;
        } else if (a == "--shipped")
            ok = value(shipped);
        else if (a == "--lff")
            ok = value(lff);
        else if (a == "--jhf")
            ok = value(jhf);
        else if (a == "--svg")
            ok = value(svg);
        else if (a == "--outline")
            ok = value(outline);
        else if (a == "--face")
            ok = value(face);
        else if (a == "--out")
            ok = value(out);
        else if (a == "--sheets")
            ok = value(sheets);
        else if (a == "--lff-dir")
            ok = value(sources.lff);
        else if (a == "--jhf-dir")
            ok = value(sources.jhf);
        else if (a == "--svg-dir")
            ok = value(sources.svg);
        else if (a == "--outline-dir")
            ok = value(sources.outline);
        else if (a == "--glyph-index")
            ok = value(indexFile) && value(indexPng);
        else
            return usage(("unknown option " + a).c_str());
        if (!ok) return usage(("missing value after " + a).c_str());
    }
    if (shipped.empty() && lff.empty() && jhf.empty() && svg.empty() && outline.empty() &&
        indexFile.empty())
        return usage("nothing to do");
    if ((!lff.empty() || !jhf.empty() || !svg.empty() || !outline.empty()) && out.empty())
        return usage("--lff, --jhf, --svg and --outline need --out");
#ifndef VEZOR_OUTLINE
    if (!outline.empty()) return usage("this build reads no outline fonts");
#endif
    int faceIndex = 0;
    if (!face.empty()) {
        const auto [end, error] =
            std::from_chars(face.data(), face.data() + face.size(), faceIndex);
        if (error != std::errc() || end != face.data() + face.size() || faceIndex < 0)
            return usage("--face needs a face number from 0");
    }

    // Sheets draw text with QPainter, which needs a GUI application but no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    try {
        if (!indexFile.empty()) glyphIndex(indexFile, indexPng);
        const auto nameOf = [](const std::string& path) {
            return disk::utf8Path(disk::fsPath(path).stem());
        };
        if (!lff.empty())
            build(fontc::lffRecipe(fontc::parseLff(fontc::readSourceFile(lff)), nameOf(out)), out,
                  sheets);
        if (!jhf.empty())
            build(fontc::jhfAsciiRecipe(fontc::parseJhf(fontc::readSourceFile(jhf)), nameOf(out)),
                  out, sheets);
        if (!svg.empty())
            build(fontc::svgRecipe(fontc::parseSvgFont(fontc::readSourceFile(svg)), nameOf(out)),
                  out, sheets);
#ifdef VEZOR_OUTLINE
        if (!outline.empty()) buildOutline(outline, faceIndex, nameOf(out), out, sheets);
#endif
        if (!shipped.empty())
            for (const std::string& name : fontc::shippedFontNames()) {
                const auto missing = fontc::missingSources(name, sources);
                if (!missing.empty()) {
                    std::fprintf(stderr, "vezor-fontc: %s skipped, missing %s\n", name.c_str(),
                                 missing.front().c_str());
                    continue;
                }
                build(fontc::shippedFontRecipe(name, sources), shipped + "/" + name, sheets);
            }
    } catch (const VezorError& e) {
        std::fprintf(stderr, "vezor-fontc: %s\n", win1251::toUtf8(e.message()).c_str());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vezor-fontc: %s\n", e.what());
        return 1;
    }
    return 0;
}
