#include "fontsource/OutlineFont.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SFNT_NAMES_H
#include FT_TRUETYPE_IDS_H

#include <algorithm>
#include <cmath>

#include "fontsource/FontSources.h"

namespace fontc {

struct OutlineFont::Face {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~Face() {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
};

namespace {

std::string utf8Of(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

// A name table entry as UTF-8: Windows names are UTF-16 big-endian, Macintosh
// names (English) Roman, of which only ASCII is taken.
std::string nameText(const FT_SfntName& name) {
    std::string out;
    if (name.platform_id == TT_PLATFORM_MICROSOFT ||
        name.platform_id == TT_PLATFORM_APPLE_UNICODE) {
        for (FT_UInt i = 0; i + 1 < name.string_len; i += 2) {
            char32_t c = static_cast<char32_t>(name.string[i] << 8 | name.string[i + 1]);
            if (c >= 0xD800 && c < 0xDC00 && i + 3 < name.string_len) {
                const char32_t low =
                    static_cast<char32_t>(name.string[i + 2] << 8 | name.string[i + 3]);
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
            if (c >= 0xD800 && c < 0xE000) c = 0xFFFD;
            out += utf8Of(c);
        }
    } else {
        for (FT_UInt i = 0; i < name.string_len; ++i)
            out += name.string[i] < 0x80 ? static_cast<char>(name.string[i]) : '?';
    }
    return out;
}

// The English (or only) entry of a name, Windows entries first.
std::string nameOf(FT_Face face, FT_UShort id) {
    std::string best;
    int bestRank = 0;
    const FT_UInt count = FT_Get_Sfnt_Name_Count(face);
    for (FT_UInt i = 0; i < count; ++i) {
        FT_SfntName name;
        if (FT_Get_Sfnt_Name(face, i, &name) != 0 || name.name_id != id) continue;
        int rank = 1;
        if (name.platform_id == TT_PLATFORM_MICROSOFT)
            rank = name.language_id == TT_MS_LANGID_ENGLISH_UNITED_STATES ? 4 : 3;
        else if (name.platform_id == TT_PLATFORM_MACINTOSH &&
                 name.language_id == TT_MAC_LANGID_ENGLISH)
            rank = 2;
        if (rank > bestRank) {
            best = nameText(name);
            bestRank = rank;
        }
    }
    return best;
}

struct Flattener {
    double tolerance;
    std::vector<Polyline> contours;
    Point at;

    static Point point(const FT_Vector* v) {
        return {static_cast<double>(v->x), static_cast<double>(v->y)};
    }
    void lineTo(Point p) {
        if (!(p == at)) contours.back().push_back(p);
        at = p;
    }
    // Enough pieces that no chord strays farther than the tolerance from the curve:
    // a curve whose second derivative stays below m strays at most m h² / 8 over h.
    int pieces(double secondDerivative) const {
        const double n = std::ceil(std::sqrt(secondDerivative / (8 * tolerance)));
        return static_cast<int>(std::clamp(n, 1.0, 256.0));
    }
    void conicTo(Point c, Point p) {
        const Point p0 = at;
        const int n = pieces(2 * length(p0 - c * 2 + p));
        for (int i = 1; i <= n; ++i) {
            const double t = static_cast<double>(i) / n;
            const double s = 1 - t;
            lineTo(p0 * (s * s) + c * (2 * s * t) + p * (t * t));
        }
    }
    void cubicTo(Point c1, Point c2, Point p) {
        const Point p0 = at;
        const double m = 6 * std::max(length(p0 - c1 * 2 + c2), length(c1 - c2 * 2 + p));
        const int n = pieces(m);
        for (int i = 1; i <= n; ++i) {
            const double t = static_cast<double>(i) / n;
            const double s = 1 - t;
            lineTo(p0 * (s * s * s) + c1 * (3 * s * s * t) + c2 * (3 * s * t * t) +
                   p * (t * t * t));
        }
    }
};

int moveTo(const FT_Vector* to, void* user) {
    auto* f = static_cast<Flattener*>(user);
    f->contours.emplace_back();
    f->at = Flattener::point(to);
    f->contours.back().push_back(f->at);
    return 0;
}
int lineTo(const FT_Vector* to, void* user) {
    static_cast<Flattener*>(user)->lineTo(Flattener::point(to));
    return 0;
}
int conicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    static_cast<Flattener*>(user)->conicTo(Flattener::point(control), Flattener::point(to));
    return 0;
}
int cubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    static_cast<Flattener*>(user)->cubicTo(Flattener::point(c1), Flattener::point(c2),
                                           Flattener::point(to));
    return 0;
}

}  // namespace

OutlineFont::OutlineFont(std::string bytes, int face) : bytes_(std::move(bytes)), face_(new Face) {
    if (FT_Init_FreeType(&face_->library) != 0)
        throw FontSourceError("не удалось запустить FreeType");
    if (face < 0) throw FontSourceError("номер начертания не может быть отрицательным");
    const FT_Error error =
        FT_New_Memory_Face(face_->library, reinterpret_cast<const FT_Byte*>(bytes_.data()),
                           static_cast<FT_Long>(bytes_.size()), face, &face_->face);
    if (error != 0) {
        face_->face = nullptr;
        // The face count says whether the file reads at all and only the face is missing.
        FT_Face probe = nullptr;
        int faces = 0;
        if (face > 0 &&
            FT_New_Memory_Face(face_->library, reinterpret_cast<const FT_Byte*>(bytes_.data()),
                               static_cast<FT_Long>(bytes_.size()), -1, &probe) == 0) {
            faces = static_cast<int>(probe->num_faces);
            FT_Done_Face(probe);
        }
        if (faces > 0)
            throw FontSourceError("в файле нет начертания " + std::to_string(face) +
                                  " (начертаний в нём: " + std::to_string(faces) +
                                  ", счёт с нуля)");
        throw FontSourceError("файл не читается как шрифт TrueType или OpenType");
    }
    FT_Face f = face_->face;
    if (!FT_IS_SCALABLE(f) || f->units_per_EM == 0)
        throw FontSourceError("в шрифте нет контуров букв (растровый шрифт)");
    info_.family = f->family_name ? f->family_name : "";
    info_.style = f->style_name ? f->style_name : "";
    info_.unitsPerEm = f->units_per_EM;
    info_.ascender = f->ascender;
    info_.descender = f->descender;
    info_.faceCount = static_cast<int>(f->num_faces);
    info_.copyright = nameOf(f, TT_NAME_ID_COPYRIGHT);
    info_.licence = nameOf(f, TT_NAME_ID_LICENSE);
    info_.licenceUrl = nameOf(f, TT_NAME_ID_LICENSE_URL);
    const std::string family = nameOf(f, TT_NAME_ID_FONT_FAMILY);
    if (!family.empty()) info_.family = family;
}

OutlineFont::~OutlineFont() = default;

std::optional<OutlineGlyph> OutlineFont::glyph(char32_t character, double tolerance) const {
    FT_Face f = face_->face;
    const FT_UInt index = FT_Get_Char_Index(f, character);
    if (index == 0) return std::nullopt;
    const std::string name = "«" + utf8Of(character) + "»";
    if (FT_Load_Glyph(f, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0)
        throw FontSourceError(name + ": контур буквы не читается");
    if (f->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
        throw FontSourceError(name + ": у буквы нет контура");
    OutlineGlyph glyph;
    glyph.advance = static_cast<double>(f->glyph->metrics.horiAdvance);
    FT_Outline_Funcs funcs{};
    funcs.move_to = moveTo;
    funcs.line_to = lineTo;
    funcs.conic_to = conicTo;
    funcs.cubic_to = cubicTo;
    // The centre lines take time with the square of the outline's pieces: a
    // glyph of very many curves is cut more coarsely, and one that stays too
    // fine even so is refused.
    constexpr std::size_t kMostPoints = 4000;
    Flattener flattener{std::max(tolerance, 1e-6), {}, {}};
    for (int coarser = 0;; ++coarser) {
        flattener.contours.clear();
        if (FT_Outline_Decompose(&f->glyph->outline, &funcs, &flattener) != 0)
            throw FontSourceError(name + ": контур буквы не читается");
        std::size_t points = 0;
        for (const Polyline& contour : flattener.contours) points += contour.size();
        if (points <= kMostPoints) break;
        if (coarser == 2)
            throw FontSourceError(name + ": контур буквы слишком сложен (" +
                                  std::to_string(points) + " точек)");
        flattener.tolerance *= 8;
    }
    for (Polyline& contour : flattener.contours) {
        if (contour.size() > 1 && contour.back() == contour.front()) contour.pop_back();
        if (contour.size() >= 3) glyph.contours.push_back(std::move(contour));
    }
    return glyph;
}

}  // namespace fontc
