#include "fontsource/SvgFont.h"

#include <QString>
#include <QXmlStreamReader>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

#include "fontsource/FontSources.h"
#include "lib/Win1251.h"

namespace fontc {
namespace {

// Coordinates beyond this are no font's; they would only overflow the geometry.
constexpr double kLargest = 1e7;
// A curve is cut into at most this many pieces, a glyph holds at most this many
// points and a font this many: a file of absurd size must fail, not fill the
// memory (a few bytes of path data make up to 64 points).
constexpr int kMostPieces = 64;
constexpr std::size_t kMostPoints = 200000;
constexpr std::size_t kMostFontPoints = 4000000;

[[noreturn]] void fail(const std::string& what) { throw FontSourceError(what); }

// The path data grammar: commands, numbers separated by blanks or a comma,
// a sign or a second point starting the next number, flags as single digits.
class PathScanner {
  public:
    explicit PathScanner(std::string_view d) : d_(d) {}

    void skipSeparators() {
        while (pos_ < d_.size() && (isBlank(d_[pos_]) || d_[pos_] == ',')) ++pos_;
    }
    bool atEnd() {
        skipBlanks();
        return pos_ >= d_.size();
    }
    // The next command letter, if one stands there.
    bool command(char& c) {
        skipBlanks();
        if (pos_ < d_.size() &&
            std::string_view("MmLlHhVvCcSsQqTtAaZz").find(d_[pos_]) != std::string_view::npos) {
            c = d_[pos_++];
            return true;
        }
        return false;
    }
    // True when a number (after separators) follows, so a command repeats.
    bool numberFollows() {
        skipSeparators();
        if (pos_ >= d_.size()) return false;
        const char c = d_[pos_];
        return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.';
    }
    double number() {
        skipSeparators();
        const std::size_t start = pos_;
        if (pos_ < d_.size() && (d_[pos_] == '+' || d_[pos_] == '-')) ++pos_;
        const std::size_t digits = pos_;
        while (pos_ < d_.size() && isDigit(d_[pos_])) ++pos_;
        if (pos_ < d_.size() && d_[pos_] == '.') {
            ++pos_;
            while (pos_ < d_.size() && isDigit(d_[pos_])) ++pos_;
        }
        if (pos_ == digits || (pos_ == digits + 1 && d_[digits] == '.'))
            fail("ожидалось число в позиции " + std::to_string(start + 1));
        if (pos_ < d_.size() && (d_[pos_] == 'e' || d_[pos_] == 'E')) {
            std::size_t e = pos_ + 1;
            if (e < d_.size() && (d_[e] == '+' || d_[e] == '-')) ++e;
            if (e < d_.size() && isDigit(d_[e])) {
                pos_ = e;
                while (pos_ < d_.size() && isDigit(d_[pos_])) ++pos_;
            }
        }
        const char* first = d_.data() + start + (d_[start] == '+' ? 1 : 0);
        double value = 0;
        const auto [end, ec] = std::from_chars(first, d_.data() + pos_, value);
        if (ec != std::errc() || end != d_.data() + pos_ || !(std::fabs(value) <= kLargest))
            fail("число вне допустимых пределов в позиции " + std::to_string(start + 1));
        return value;
    }
    bool flag() {
        skipSeparators();
        if (pos_ < d_.size() && (d_[pos_] == '0' || d_[pos_] == '1')) return d_[pos_++] == '1';
        fail("ожидался флаг дуги (0 или 1) в позиции " + std::to_string(pos_ + 1));
    }
    std::size_t position() const { return pos_ + 1; }

  private:
    static bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
    static bool isDigit(char c) { return c >= '0' && c <= '9'; }
    void skipBlanks() {
        while (pos_ < d_.size() && isBlank(d_[pos_])) ++pos_;
    }

    std::string_view d_;
    std::size_t pos_ = 0;
};

int piecesFor(double deviation, double tolerance) {
    const double wanted = std::ceil(std::sqrt(std::max(deviation, 0.0) / tolerance));
    return static_cast<int>(std::clamp(wanted, 1.0, static_cast<double>(kMostPieces)));
}

// Builds the strokes of one path: a stroke ends at every move.
class StrokeBuilder {
  public:
    explicit StrokeBuilder(double tolerance) : tolerance_(tolerance) {}

    void moveTo(Point p) {
        finish();
        current_ = start_ = p;
        path_.push_back({p, 0});
    }
    void lineTo(Point p) {
        if (++points_ > kMostPoints) fail("слишком много точек");
        path_.push_back({p, 0});
        current_ = p;
    }
    void close() {
        if (path_.size() > 1) lineTo(start_);
        current_ = start_;
    }
    void quadTo(Point c, Point p) {
        const Point a = current_;
        // The deviation of a quadratic from its chord is a quarter of |a - 2c + p| / n².
        const int n = piecesFor(length(a - c * 2 + p) / 4, tolerance_);
        for (int i = 1; i <= n; ++i) {
            const double t = static_cast<double>(i) / n, u = 1 - t;
            lineTo(a * (u * u) + c * (2 * u * t) + p * (t * t));
        }
    }
    void cubicTo(Point c1, Point c2, Point p) {
        const Point a = current_;
        const double bend = std::max(length(a - c1 * 2 + c2), length(c1 - c2 * 2 + p));
        const int n = piecesFor(bend * 3 / 4, tolerance_);
        for (int i = 1; i <= n; ++i) {
            const double t = static_cast<double>(i) / n, u = 1 - t;
            lineTo(a * (u * u * u) + c1 * (3 * u * u * t) + c2 * (3 * u * t * t) + p * (t * t * t));
        }
    }
    // The elliptical arc in endpoint form, as the path grammar gives it.
    void arcTo(double rx, double ry, double degrees, bool large, bool sweep, Point p) {
        const Point a = current_;
        rx = std::fabs(rx);
        ry = std::fabs(ry);
        if (a == p) return;
        if (rx == 0 || ry == 0) return lineTo(p);
        const double phi = degrees * std::numbers::pi / 180;
        const double cs = std::cos(phi), sn = std::sin(phi);
        const Point half = (a - p) * 0.5;
        const Point q{cs * half.x + sn * half.y, -sn * half.x + cs * half.y};
        const double grow = (q.x * q.x) / (rx * rx) + (q.y * q.y) / (ry * ry);
        if (grow > 1) {
            rx *= std::sqrt(grow);
            ry *= std::sqrt(grow);
        }
        const double num = rx * rx * ry * ry - rx * rx * q.y * q.y - ry * ry * q.x * q.x;
        const double den = rx * rx * q.y * q.y + ry * ry * q.x * q.x;
        double k = std::sqrt(std::max(0.0, num / den));
        if (large == sweep) k = -k;
        const Point cq{k * rx * q.y / ry, -k * ry * q.x / rx};
        const Point mid = (a + p) * 0.5;
        const Point centre{cs * cq.x - sn * cq.y + mid.x, sn * cq.x + cs * cq.y + mid.y};
        const auto angle = [](Point u, Point v) {
            return std::atan2(u.x * v.y - u.y * v.x, u.x * v.x + u.y * v.y);
        };
        const Point u{(q.x - cq.x) / rx, (q.y - cq.y) / ry};
        const Point v{(-q.x - cq.x) / rx, (-q.y - cq.y) / ry};
        const double start = angle({1, 0}, u);
        double delta = angle(u, v);
        if (!sweep && delta > 0) delta -= 2 * std::numbers::pi;
        if (sweep && delta < 0) delta += 2 * std::numbers::pi;
        const double r = std::max(rx, ry);
        double step = std::numbers::pi / 2;
        if (tolerance_ < r) step = std::min(step, 2 * std::acos(1 - tolerance_ / r));
        const int n = static_cast<int>(
            std::clamp(std::ceil(std::fabs(delta) / step), 1.0, static_cast<double>(kMostPieces)));
        for (int i = 1; i < n; ++i) {
            const double t = start + delta * i / n;
            const double x = rx * std::cos(t), y = ry * std::sin(t);
            lineTo({cs * x - sn * y + centre.x, sn * x + cs * y + centre.y});
        }
        lineTo(p);
    }

    Point current() const { return current_; }
    SourceGlyph take() {
        finish();
        return std::move(glyph_);
    }

  private:
    void finish() {
        // A lone move draws nothing.
        if (path_.size() > 1) glyph_.paths.push_back(std::move(path_));
        path_.clear();
    }

    double tolerance_;
    SourceGlyph glyph_;
    SourcePath path_;
    Point current_, start_;
    std::size_t points_ = 0;
};

double attribute(const QXmlStreamAttributes& attributes, const char* name, double fallback) {
    const QStringView text = attributes.value(QString::fromLatin1(name));
    if (text.isEmpty()) return fallback;
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok && std::fabs(value) <= kLargest ? value : fallback;
}

std::string characterName(const QString& unicode) { return "«" + unicode.toStdString() + "»"; }

void readMetadata(const QString& text, std::map<std::string, std::string>& into) {
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const auto colon = line.indexOf(QLatin1Char(':'));
        if (colon <= 0) continue;
        const QString key = line.left(colon).trimmed();
        if (key.size() > 40) continue;  // a sentence with a colon, not a field
        into[key.toStdString()] = line.mid(colon + 1).trimmed().toStdString();
    }
}

}  // namespace

SourceGlyph parseSvgPath(std::string_view d, double tolerance) {
    PathScanner in(d);
    StrokeBuilder out(tolerance > 0 ? tolerance : 1);
    char command = 0;
    bool started = false;
    // The second control point of the last curve, for the smooth forms.
    Point lastCubic, lastQuad;
    char previous = 0;
    while (!in.atEnd()) {
        char next = 0;
        if (in.command(next))
            command = next;
        else if (command == 0 || command == 'Z' || command == 'z' || !in.numberFollows())
            fail("неизвестная команда в позиции " + std::to_string(in.position()));
        else if (command == 'M')
            command = 'L';  // numbers after a move are lines
        else if (command == 'm')
            command = 'l';
        const bool relative = command >= 'a';
        const char upper = static_cast<char>(relative ? command - 'a' + 'A' : command);
        if (!started && upper != 'M') fail("путь начинается не с команды M (позиция 1)");
        const Point base = relative ? out.current() : Point{};
        const auto point = [&] {
            const double x = in.number();
            return Point{x, in.number()} + base;
        };
        switch (upper) {
            case 'M':
                out.moveTo(point());
                started = true;
                break;
            case 'L':
                out.lineTo(point());
                break;
            case 'H':
                out.lineTo({in.number() + base.x, out.current().y});
                break;
            case 'V':
                out.lineTo({out.current().x, in.number() + base.y});
                break;
            case 'Z':
                out.close();
                break;
            case 'C': {
                const Point c1 = point(), c2 = point();
                out.cubicTo(c1, c2, point());
                lastCubic = c2;
                break;
            }
            case 'S': {
                const bool smooth = previous == 'C' || previous == 'S';
                const Point c1 = smooth ? out.current() * 2 - lastCubic : out.current();
                const Point c2 = point();
                out.cubicTo(c1, c2, point());
                lastCubic = c2;
                break;
            }
            case 'Q': {
                const Point c = point();
                out.quadTo(c, point());
                lastQuad = c;
                break;
            }
            case 'T': {
                const bool smooth = previous == 'Q' || previous == 'T';
                const Point c = smooth ? out.current() * 2 - lastQuad : out.current();
                out.quadTo(c, point());
                lastQuad = c;
                break;
            }
            case 'A': {
                const double rx = in.number(), ry = in.number(), turn = in.number();
                const bool large = in.flag(), sweep = in.flag();
                out.arcTo(rx, ry, turn, large, sweep, point());
                break;
            }
        }
        previous = upper;
    }
    return out.take();
}

SvgFont parseSvgFont(std::string_view text) {
    SvgFont font;
    QXmlStreamReader xml(QByteArray::fromRawData(text.data(), static_cast<qsizetype>(text.size())));
    int fontDepth = 0;  // depth of the <font> being read, 0 outside
    int depth = 0;
    bool fontDone = false;
    // Glyph data waits until the font's size is known: <font-face> may follow the glyphs.
    std::vector<std::pair<QString, std::string>> glyphs;
    while (!xml.atEnd() && !fontDone) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) {
            if (depth-- == fontDepth && fontDepth > 0) fontDone = true;
            continue;
        }
        if (token != QXmlStreamReader::StartElement) continue;
        ++depth;
        const QStringView name = xml.name();
        const auto attributes = xml.attributes();
        if (name == u"metadata" && fontDepth == 0) {
            readMetadata(xml.readElementText(QXmlStreamReader::IncludeChildElements),
                         font.metadata);
            --depth;
        } else if (name == u"font" && fontDepth == 0) {
            fontDepth = depth;
        } else if (fontDepth > 0 && name == u"font-face") {
            font.unitsPerEm = attribute(attributes, "units-per-em", 1000);
            if (!(font.unitsPerEm > 0)) font.unitsPerEm = 1000;
            font.ascent = attribute(attributes, "ascent", 0);
            font.descent = attribute(attributes, "descent", 0);
        } else if (fontDepth > 0 && name == u"glyph") {
            glyphs.emplace_back(attributes.value(QLatin1String("unicode")).toString(),
                                attributes.value(QLatin1String("d")).toString().toStdString());
        }
    }
    if (xml.hasError())
        fail("файл не читается как SVG: строка " + std::to_string(xml.lineNumber()) +
             ", ошибка разметки (" + xml.errorString().toStdString() + ")");
    if (fontDepth == 0) fail("в файле нет SVG-шрифта (элемента <font>)");

    // Stroke fonts want no finer pieces than the pen can draw: a four-hundredth of the em.
    const double tolerance = font.unitsPerEm / 400;
    std::size_t points = 0;
    for (const auto& [unicode, d] : glyphs) {
        const auto characters = unicode.toUcs4();
        if (characters.size() != 1) {
            ++font.notSingleCharacter;
            continue;
        }
        const char32_t code = characters[0];
        if (font.glyphs.contains(code)) {
            ++font.repeated;
            continue;
        }
        try {
            SourceGlyph glyph = parseSvgPath(d, tolerance);
            for (const auto& path : glyph.paths) points += path.size();
            if (points > kMostFontPoints) fail("в шрифте слишком много точек");
            font.glyphs[code] = std::move(glyph);
        } catch (const FontSourceError& e) {
            if (points > kMostFontPoints) throw;
            font.broken.push_back(characterName(unicode) + ": " + e.what());
        }
    }
    return font;
}

FontRecipe svgRecipe(const SvgFont& font, const std::string& folder) {
    FontRecipe recipe;
    recipe.folder = folder;
    int outside = 0;
    for (const auto& [code, glyph] : font.glyphs) {
        bool ok = false;
        const unsigned char byte = win1251::fromUnicode(code, &ok);
        if (!ok) {
            ++outside;
            continue;
        }
        if (byte > 32 && !glyph.paths.empty()) recipe.glyphs[byte] = glyph;
    }
    if (outside > 0)
        recipe.leftOut.push_back("знаков вне кодировки Windows-1251: " + std::to_string(outside));
    if (font.notSingleCharacter > 0)
        recipe.leftOut.push_back("глифов не для одного знака (лигатуры, без unicode): " +
                                 std::to_string(font.notSingleCharacter));
    if (font.repeated > 0)
        recipe.leftOut.push_back("повторных глифов того же знака: " +
                                 std::to_string(font.repeated));
    for (const auto& why : font.broken) recipe.leftOut.push_back("путь не читается, " + why);
    return recipe;
}

}  // namespace fontc
