#include "fontsource/InstalledFonts.h"

#include <fontconfig/fontconfig.h>

#include <QString>
#include <QStringList>
#include <algorithm>
#include <memory>

namespace fontc {

namespace {

std::string text(FcPattern* pattern, const char* object) {
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, 0, &value) != FcResultMatch || !value) return "";
    return reinterpret_cast<const char*>(value);
}

bool isOutlineFile(const std::string& file) {
    const QString lower = QString::fromStdString(file).toLower();
    return lower.endsWith(".ttf") || lower.endsWith(".otf") || lower.endsWith(".ttc") ||
           lower.endsWith(".otc");
}

QString searchable(const InstalledFont& font) {
    return QString::fromStdString(font.family + " " + font.style).toLower();
}

}  // namespace

std::vector<InstalledFont> installedOutlineFonts() {
    std::vector<InstalledFont> fonts;
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config) return fonts;
    const std::unique_ptr<FcConfig, decltype(&FcConfigDestroy)> owned(config, FcConfigDestroy);
    const std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)> pattern(
        FcPatternBuild(nullptr, FC_OUTLINE, FcTypeBool, FcTrue, nullptr), FcPatternDestroy);
    const std::unique_ptr<FcObjectSet, decltype(&FcObjectSetDestroy)> objects(
        FcObjectSetBuild(FC_FAMILY, FC_STYLE, FC_FILE, FC_INDEX, nullptr), FcObjectSetDestroy);
    if (!pattern || !objects) return fonts;
    const std::unique_ptr<FcFontSet, decltype(&FcFontSetDestroy)> set(
        FcFontList(config, pattern.get(), objects.get()), FcFontSetDestroy);
    if (!set) return fonts;
    for (int i = 0; i < set->nfont; ++i) {
        InstalledFont font;
        font.file = text(set->fonts[i], FC_FILE);
        if (!isOutlineFile(font.file)) continue;
        // A family or style given in several languages lists the English first.
        font.family = text(set->fonts[i], FC_FAMILY);
        font.style = text(set->fonts[i], FC_STYLE);
        int index = 0;
        if (FcPatternGetInteger(set->fonts[i], FC_INDEX, 0, &index) == FcResultMatch)
            font.face = index & 0xFFFF;  // the upper bits name a variable font's instance
        if (font.family.empty() || std::find(fonts.begin(), fonts.end(), font) != fonts.end())
            continue;
        fonts.push_back(std::move(font));
    }
    std::sort(fonts.begin(), fonts.end(), [](const InstalledFont& a, const InstalledFont& b) {
        const int family = QString::fromStdString(a.family).compare(
            QString::fromStdString(b.family), Qt::CaseInsensitive);
        if (family != 0) return family < 0;
        const int style = QString::fromStdString(a.style).compare(QString::fromStdString(b.style),
                                                                  Qt::CaseInsensitive);
        if (style != 0) return style < 0;
        return a.file < b.file;
    });
    return fonts;
}

std::vector<InstalledFont> filterFonts(const std::vector<InstalledFont>& fonts,
                                       const std::string& filter) {
    const QStringList words =
        QString::fromStdString(filter).toLower().split(' ', Qt::SkipEmptyParts);
    std::vector<InstalledFont> kept;
    for (const InstalledFont& font : fonts) {
        const QString haystack = searchable(font);
        if (std::all_of(words.begin(), words.end(),
                        [&](const QString& word) { return haystack.contains(word); }))
            kept.push_back(font);
    }
    return kept;
}

}  // namespace fontc
