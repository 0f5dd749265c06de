#include "main/Layout.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>

#include "font/FontStorage.h"
#include "gcode/MoveNumber.h"
#include "gcode/MoveText.h"
#include "lib/NumberText.h"
#include "lib/VezorError.h"
#include "lib/Win1251.h"
#include "main/LinePlacement.h"
#include "main/ProjectFile.h"

CharClass ClassOf(unsigned char code) {
    if (code == 32) return CharClass::Space;
    if ((code >= 65 && code <= 90) || (code >= 97 && code <= 122) || code >= 128)
        return CharClass::Letter;
    return CharClass::Separated;
}

namespace {

// One letter, scaled to millimetres, not yet placed.
struct Glyph {
    std::vector<PenPoint> points;
    double width = 0;
    bool readable = true;
};

// Reads each letter file of one font at most once.
class GlyphCache {
  public:
    GlyphCache(const std::string& fontPath, double heightScale, double widthFactor,
               const LetterInMemory* replaced)
        : fontPath_(fontPath),
          heightScale_(heightScale),
          widthFactor_(widthFactor),
          replaced_(replaced) {}

    const Glyph& get(unsigned char code) {
        std::optional<Glyph>& slot = glyphs_[code];
        if (!slot) slot = load(code);
        return *slot;
    }

  private:
    Glyph load(unsigned char code) const {
        Glyph glyph;
        if (replaced_ && replaced_->code == code) return parse(replaced_->lines);
        // A character Windows-1251 lacks has no letter file in any font.
        if (fontPath_.empty() || code == win1251::kForeign) {
            glyph.readable = false;
            return glyph;
        }
        std::vector<std::string> lines;
        try {
            lines = ReadLetterLines(LetterFilePath(fontPath_, code));
        } catch (const VezorError&) {
            glyph.readable = false;
            return glyph;
        }
        return parse(lines);
    }

    Glyph parse(const std::vector<std::string>& lines) const {
        Glyph glyph;
        // A line without "," ends the letter; the points before it are kept.
        for (const std::string& line : lines) {
            double x = 0;
            double y = 0;
            if (!ParsePointLine(line, x, y)) {
                glyph.readable = false;
                break;
            }
            // A coordinate no letter can have (a damaged or foreign file) would put
            // a number of hundreds of digits into the program: the letter is refused.
            if (std::abs(x) > kLetterCoordinateLimit || std::abs(y) > kLetterCoordinateLimit) {
                glyph.points.clear();
                glyph.width = 0;
                glyph.readable = false;
                break;
            }
            const PenPoint p{x * heightScale_ * widthFactor_, y * heightScale_, 0};
            if (p.X > glyph.width) glyph.width = p.X;
            glyph.points.push_back(p);
        }
        return glyph;
    }

    std::string fontPath_;
    double heightScale_;
    double widthFactor_;
    const LetterInMemory* replaced_;
    std::array<std::optional<Glyph>, 256> glyphs_;
};

class Layouter {
  public:
    // stream, when given, brings the lines; project the parameters (and the
    // lines otherwise).
    Layouter(const Project& project, const std::string& fontPath, const MachiningSettings& s,
             MoveTexts texts, const LetterInMemory* replaced, PenPointSink* sink = nullptr,
             const ProjectStream* stream = nullptr)
        : sink_(sink),
          project_(project),
          stream_(stream),
          settings_(s),
          buildTexts_(texts == MoveTexts::Build),
          separator_(numtext::decimalSeparator()),
          glyphs_(fontPath, project.LetterHeight / 100, project.WidthFactor, replaced) {}

    LayoutResult run() {
        if (!sink_) {
            result_.points = std::make_shared<PenPoints>();
            points_ = result_.points.get();
            reserve();
        }
        if (stream_)
            stream_->forEachLine([this](const ProjectLine& line) { layOutLine(line); });
        else
            for (const ProjectLine& line : project_.ProjectLines) layOutLine(line);
        result_.bounds = ViewBounds{0, -project_.FieldWidth, project_.FieldWidth, 0};
        return std::move(result_);
    }

  private:
    void layOutLine(const ProjectLine& line) {
        const std::string_view s = trimmedText(line.Text);
        const bool hasTags = line.TagPositions.Count() > 0;
        if (hasTags) indexTags(line, s.size());
        const auto placement = placementTags_.read(line, s.empty(), ++lineNumber_, result_.notes);
        if (placement.settingOnly) return;
        placeLine(placement.placement, line, s, lineNumber_);
        double penX = 0;
        bool pendingLift = false;
        std::size_t foreignSeen = 0;  // leading spaces hold none
        for (std::size_t d = 1; d <= s.size(); ++d) {
            const auto code = static_cast<unsigned char>(s[d - 1]);
            const CharClass kind = ClassOf(code);
            const bool last = d == s.size();
            if (kind == CharClass::Separated) {
                addPenUp(true, false);
                pendingLift = true;
            }
            if (kind != CharClass::Space) {
                const Glyph& glyph = glyphs_.get(code);
                if (!glyph.readable) {
                    char32_t character = win1251::toUnicode(code);
                    if (code == win1251::kForeign)
                        character = foreignSeen < line.Foreign.size() ? line.Foreign[foreignSeen]
                                                                      : kUnknownCharacter;
                    result_.messages.push_back(MissingCharacterMessage(character));
                    result_.missingLetters.push_back(code);
                    result_.missingCharacters.push_back(character);
                    result_.missing[code] = true;
                }
                if (code == win1251::kForeign) ++foreignSeen;
                if (d != 1) penX += letterGap_;
                if (hasTags && firstTagAt_[d] != 0) applyTag(line, firstTagAt_[d], penX);
                appendGlyph(glyph, penX, lineY_);
                penX += glyph.width;
            } else if (!last) {
                addPenUp(true, false);
                penX += spaceAdvance_;
            }
            if (!last && pendingLift) {
                addPenUp(true, false);
                pendingLift = false;
            }
        }
        // A line on an arc stands outside the flow of the field's lines.
        if (!placement.placement.arc) lineY_ += project_.LineSpacing;
        addPenUp(false, true);
    }

    static std::string_view trimmedText(std::string_view s) {
        const auto first = s.find_first_not_of(' ');
        if (first == std::string_view::npos) return {};
        return s.substr(first, s.find_last_not_of(' ') - first + 1);
    }

    // An upper bound of the records, so a large layout grows no vector.
    void reserve() {
        std::size_t records = 1;
        for (const ProjectLine& line : project_.ProjectLines) {
            records += 1 + line.TagPositions.Count();
            for (char c : line.Text) {
                const auto code = static_cast<unsigned char>(c);
                switch (ClassOf(code)) {
                    case CharClass::Space:
                        records += 1;
                        break;
                    case CharClass::Separated:
                        records += 2 + glyphs_.get(code).points.size();
                        break;
                    case CharClass::Letter:
                        records += glyphs_.get(code).points.size();
                        break;
                }
            }
        }
        // Reserved but untouched memory costs nothing, so the text guess is generous.
        points_->reserve(records, buildTexts_ ? records * 20 : 0);
    }

    // Breaks between words and around separated characters are the lifts
    // NoRazriv suppresses; a tag's lift and a line end always happen.
    void addPenUp(bool breakable, bool lineEnd) {
        if (breakable && settings_.NoRazriv == 1) return;
        if (penUpMarker_ == records_) return;
        const double z = lineEnd ? settings_.ZBezopS : settings_.ZBezop;
        append(PenPoint{0, 0, z});
        penUpMarker_ = records_;
    }

    // The first tag at each character position of the line, found once, so a
    // line full of tags is not searched through for every character.
    void indexTags(const ProjectLine& line, std::size_t characters) {
        firstTagAt_.assign(characters + 1, 0);
        for (std::size_t k = line.TagPositions.Count(); k >= 1; --k) {
            const std::size_t position = line.TagPositions.Item(k);
            if (position <= characters) firstTagAt_[position] = k;
        }
    }

    // Only the first tag at a position counts, whatever its name.
    void applyTag(const ProjectLine& line, std::size_t k, double& penX) {
        if (line.TagNames.Item(k) != "XXX") return;
        if (const auto x = tagPosition(line.TagValues.Item(k))) {
            penX = *x;
            addPenUp(false, false);
        }
    }

    // The tag's value in the user's form; failing that, its leading number
    // ("100мм" is 100); a value without any number moves nothing.
    std::optional<double> tagPosition(const std::string& value) const {
        if (auto x = numtext::parseLocaleNumber(value, separator_)) return x;
        std::string normalised = value;
        for (char& c : normalised)
            if (c == separator_) c = '.';
        std::size_t consumed = 0;
        const double x = numtext::leadingNumber(normalised, consumed);
        if (consumed == 0) return std::nullopt;
        return x;
    }

    // An aligned or bent line needs its width before its first letter is placed.
    void placeLine(const LinePlacement& placement, const ProjectLine& line, std::string_view s,
                   std::size_t lineNumber) {
        placer_.reset();
        if (placement.plain()) return;
        const double letterGap = project_.LetterHeight / 5 * project_.WidthFactor;
        const double spaceAdvance = project_.LetterHeight / 2 * project_.WidthFactor;
        double penX = 0;
        for (std::size_t d = 1; d <= s.size(); ++d) {
            const auto code = static_cast<unsigned char>(s[d - 1]);
            if (ClassOf(code) == CharClass::Space) {
                if (d != s.size()) penX += spaceAdvance;
                continue;
            }
            if (d != 1) penX += letterGap;
            const std::size_t k = line.TagPositions.Count() > 0 ? firstTagAt_[d] : 0;
            if (k != 0 && line.TagNames.Item(k) == "XXX")
                if (const auto x = tagPosition(line.TagValues.Item(k))) penX = *x;
            penX += glyphs_.get(code).width;
        }
        placer_.emplace(placement, penX, project_.FieldWidth, project_.LetterHeight, lineNumber,
                        result_.notes);
    }

    // Places the letter and finishes its points at once: coordinates rounded
    // to hundredths, Y turned upward, the record's text built.
    // A letter point at (0, 0) between two drawn points marks a break: with
    // RazrivVBukve 1 the pen lifts there, as at a tag (NoRazriv does not keep
    // it down); otherwise it is skipped like every point on the box's edges.
    void appendGlyph(const Glyph& glyph, double penX, double lineY) {
        const bool breaks = settings_.RazrivVBukve == 1;
        bool drawn = false;
        bool breakPending = false;
        for (const PenPoint& g : glyph.points) {
            if (g.X == 0 || g.Y == 0) {
                if (breaks && drawn && g.X == 0 && g.Y == 0) breakPending = true;
                continue;
            }
            if (breakPending) {
                addPenUp(false, false);
                breakPending = false;
            }
            if (placer_) {
                append(placer_->place(g, glyph.width, penX, lineY));
                drawn = true;
                continue;
            }
            append(PenPoint{movenumber::roundHundredths(g.X + penX),
                            movenumber::roundHundredths(-(g.Y + lineY)), 0});
            drawn = true;
        }
    }

    void append(const PenPoint& p) {
        ++records_;
        if (sink_) {
            sink_->add(p);
            return;
        }
        if (!buildTexts_) {
            points_->append(p, {});
            return;
        }
        const char* end = WriteMoveText(text_, p.X, p.Y, p.Z, separator_);
        points_->append(p, std::string_view(text_, static_cast<std::size_t>(end - text_)));
    }

    PenPointSink* const sink_;  // none: the records go into the result's list
    const Project& project_;
    const ProjectStream* const stream_;
    const MachiningSettings& settings_;
    const bool buildTexts_;
    const char separator_;
    GlyphCache glyphs_;
    // The flow of the lines.
    const double letterGap_ = project_.LetterHeight / 5 * project_.WidthFactor;
    const double spaceAdvance_ = project_.LetterHeight / 2 * project_.WidthFactor;
    double lineY_ = 0;
    std::size_t lineNumber_ = 0;
    LayoutResult result_;
    PenPoints* points_ = nullptr;
    std::size_t records_ = 1;              // the placeholder is record 1
    std::size_t penUpMarker_ = 0;          // no record: unset
    std::vector<std::size_t> firstTagAt_;  // by character position; 0: no tag
    PlacementTags placementTags_;
    std::optional<LinePlacer> placer_;  // none: the line lies as it always has
    char text_[kMaxMoveText];
};

}  // namespace

std::string LetterName(char32_t character) {
    bool ok = false;
    const unsigned char code = win1251::fromUnicode(character, &ok);
    if (ok && code != win1251::kForeign) return std::string(1, static_cast<char>(code));
    if (character == kUnknownCharacter || code == win1251::kForeign)
        return cp("знак вне Windows-1251");
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(character));
    return name;
}

std::string MissingLetterMessage(unsigned char code) {
    return cp("Буква '") + static_cast<char>(code) + cp("' не найдена");
}

std::string MissingCharacterMessage(char32_t character) {
    return cp("Буква '") + LetterName(character) + cp("' не найдена");
}

namespace {

// Each distinct character once, in the order of its first occurrence, with its count.
std::vector<std::pair<char32_t, std::size_t>> counted(const std::vector<char32_t>& characters) {
    std::vector<std::pair<char32_t, std::size_t>> counts;
    std::map<char32_t, std::size_t> at;
    for (const char32_t c : characters) {
        const auto [it, fresh] = at.emplace(c, counts.size());
        if (fresh) counts.emplace_back(c, 0);
        ++counts[it->second].second;
    }
    return counts;
}

// "раз" or "раза" after a count.
const char* times(std::size_t n) {
    const std::size_t lastTwo = n % 100;
    const std::size_t last = n % 10;
    return last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14) ? "раза" : "раз";
}

}  // namespace

std::string MissingLettersSummary(const std::vector<char32_t>& characters) {
    std::string letters;
    const auto counts = counted(characters);
    for (const auto& [character, count] : counts)
        letters += (letters.empty() ? "'" : ", '") + LetterName(character) + "'";
    return cp("Не найдено букв: ") + std::to_string(characters.size()) + cp(" (разных: ") +
           std::to_string(counts.size()) + "):\r\n" + letters;
}

std::vector<std::string> MissingLetterCounts(const std::vector<char32_t>& characters) {
    std::vector<std::string> lines;
    for (const auto& [character, count] : counted(characters))
        lines.push_back(MissingCharacterMessage(character) + ": " + std::to_string(count) + " " +
                        cp(times(count)));
    return lines;
}

LayoutResult LayOutProject(const Project& project, const std::string& fontPath,
                           const MachiningSettings& settings, MoveTexts texts,
                           const LetterInMemory* replaced) {
    return Layouter(project, fontPath, settings, texts, replaced).run();
}

LayoutResult StreamProjectLayout(const ProjectStream& project, const std::string& fontPath,
                                 const MachiningSettings& settings, PenPointSink& sink) {
    return Layouter(project.parameters(), fontPath, settings, MoveTexts::Skip, nullptr, &sink,
                    &project)
        .run();
}
