#include "main/Layout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>

#include "font/FontStorage.h"
#include "gcode/MoveNumber.h"
#include "lib/NumberText.h"
#include "lib/VezorError.h"
#include "lib/Win1251.h"
#include "main/CodeSymbol.h"
#include "main/LinePlacement.h"
#include "main/ProjectFile.h"
#include "main/StrokeCopies.h"

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
          lettersJoin_(FontLettersJoin(fontPath)),
          glyphs_(fontPath, project.LetterHeight / 100, project.WidthFactor, replaced) {}

    LayoutResult run() {
        if (!sink_) {
            result_.points = std::make_shared<PenPoints>();
            points_ = result_.points.get();
            reserve();
        }
        mirror_ = settings_.Mirror || anyLineTagged("MIRROR");
        planFitBlocks();
        forEachLine([this](const ProjectLine& line) { layOutLine(line); });
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
        bold_ = placement.placement.bold;
        if (placement.code) {
            placeCode(*placement.code, placement.placement.align, lineY_, lineNumber_);
            lineY_ +=
                placement.code->size + std::max(0.0, project_.LineSpacing - project_.LetterHeight);
            addPenUp(false, true);
            return;
        }
        const double blockScale = lineNumber_ < blockScale_.size() ? blockScale_[lineNumber_] : 0;
        placeLine(placement.placement, line, s, lineNumber_, blockScale);
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
                // A font not drawn for joining ends its letters anywhere: a join
                // from a bowl to the next foot reads as a stroke of a letter.
                if (!lettersJoin_ && kind == CharClass::Letter && d > 1 &&
                    ClassOf(static_cast<unsigned char>(s[d - 2])) == CharClass::Letter)
                    addPenUp(false, false);
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
        // The lines of a fitted block come closer together with their letters.
        if (!placement.placement.arc)
            lineY_ += project_.LineSpacing * (blockScale > 0 ? blockScale : 1);
        addPenUp(false, true);
    }

    // The project's lines in order: from the stream when there is one.
    template <typename Take>
    void forEachLine(Take&& take) const {
        if (stream_)
            stream_->forEachLine(take);
        else
            for (const ProjectLine& line : project_.ProjectLines) take(line);
    }

    // Some line carries a tag of that name. A streamed project whose text
    // never spells the name is not gone through.
    bool anyLineTagged(std::string_view name) const {
        if (stream_ && !stream_->mentions(name)) return false;
        bool any = false;
        forEachLine([&](const ProjectLine& line) {
            for (std::size_t k = 1; k <= line.TagNames.Count() && !any; ++k)
                any = line.TagNames.Item(k) == name;
        });
        return any;
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
                        records += glyphs_.get(code).points.size() + (lettersJoin_ ? 0 : 1);
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
        flushBoldStroke();
        if (penUpMarker_ == records_) return;
        const double z = lineEnd ? settings_.ZBezopS : settings_.ZBezop;
        emit(PenPoint{0, 0, z});
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

    // How far a line reaches at its letters' own size: its advance from the
    // start to the last letter's right edge, and the X range of its ink.
    struct LineExtent {
        double advance = 0;
        double inkMin = 0;
        double inkMax = 0;
        bool inked = false;
    };

    LineExtent measure(const ProjectLine& line, std::string_view s) {
        const double letterGap = project_.LetterHeight / 5 * project_.WidthFactor;
        const double spaceAdvance = project_.LetterHeight / 2 * project_.WidthFactor;
        LineExtent e;
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
            const Glyph& glyph = glyphs_.get(code);
            for (const PenPoint& g : glyph.points) {
                if (g.X == 0 || g.Y == 0) continue;
                const double x = penX + g.X;
                e.inkMin = e.inked ? std::min(e.inkMin, x) : x;
                e.inkMax = e.inked ? std::max(e.inkMax, x) : x;
                e.inked = true;
            }
            penX += glyph.width;
        }
        e.advance = penX;
        return e;
    }

    // An aligned, bent or fitted line needs its width before its first letter
    // is placed. A fitted line is scaled about its ink's left end, which then
    // starts the line; a single one keeps its letters' middle height where
    // full-size letters have it, a block's lines hang from the block's top.
    void placeLine(const LinePlacement& placement, const ProjectLine& line, std::string_view s,
                   std::size_t lineNumber, double blockScale) {
        placer_.reset();
        fitted_ = false;
        if (placement.plain() && blockScale == 0) return;
        const LineExtent e = measure(line, s);
        if (!placement.fit && blockScale == 0) {
            placer_.emplace(placement, e.advance, project_.FieldWidth, project_.LetterHeight,
                            lineNumber, result_.notes);
            return;
        }
        double k = blockScale;
        if (k == 0) {
            k = 1;
            const double width =
                placement.fit->width > 0 ? placement.fit->width : project_.FieldWidth;
            const double ink = e.inkMax - e.inkMin;
            if (e.inked && ink > width) k = width / ink;
            if (placement.fit->height > 0 && project_.LetterHeight > placement.fit->height)
                k = std::min(k, placement.fit->height / project_.LetterHeight);
        }
        fitted_ = true;
        scale_ = k;
        shift_ = e.inked ? e.inkMin : 0;
        drop_ = blockScale > 0 ? 0 : (1 - k) * project_.LetterHeight / 2;
        const double width = e.inked ? k * (e.inkMax - e.inkMin) : 0;
        placer_.emplace(placement, width, project_.FieldWidth, project_.LetterHeight * k,
                        lineNumber, result_.notes);
    }

    // The scale of every line in a block that a <@FIT=W;H> line of its own
    // starts: the widest line's ink fits W, the block's letter boxes H.
    void planFitBlocks() {
        if (!anyLineTagged("FIT")) return;
        PlacementTags scout;
        std::vector<std::string> unused;
        std::optional<FitBox> box;
        std::vector<std::size_t> members;
        double widest = 0;
        const auto close = [&] {
            if (box && !members.empty()) {
                const double w = box->width > 0 ? box->width : project_.FieldWidth;
                const double tall = static_cast<double>(members.size() - 1) * project_.LineSpacing +
                                    project_.LetterHeight;
                double k = 1;
                if (widest > w) k = w / widest;
                if (tall > box->height) k = std::min(k, box->height / tall);
                for (std::size_t n : members) blockScale_[n] = k;
            }
            box.reset();
            members.clear();
            widest = 0;
        };
        std::size_t lineNumber = 0;
        blockScale_.assign(1, 0);  // line numbers start at 1
        forEachLine([&](const ProjectLine& line) {
            blockScale_.push_back(0);
            const std::string_view s = trimmedText(line.Text);
            if (line.TagPositions.Count() > 0) indexTags(line, s.size());
            const auto tags = scout.read(line, s.empty(), ++lineNumber, unused);
            if (tags.settingOnly) {
                if (tags.blockFit) {
                    close();
                    box = tags.blockFit;
                } else if (tags.fitSet) {
                    close();
                }
                return;
            }
            if (!box || tags.code || tags.placement.arc) return;
            members.push_back(lineNumber);
            const LineExtent e = measure(line, s);
            if (e.inked) widest = std::max(widest, e.inkMax - e.inkMin);
        });
        close();
    }

    // A code in place of the line's text: its square's top at the line's top,
    // where the line's alignment puts it in the field.
    void placeCode(const CodeRequest& code, LineAlign align, double lineY, std::size_t lineNumber) {
        const std::string line = cp("Строка ") + std::to_string(lineNumber) + ": ";
        // A character Windows-1251 lacks stands here as one byte: a code of that
        // byte would hold another text than the one typed.
        if (code.text.find(static_cast<char>(win1251::kForeign)) != std::string::npos) {
            result_.notes.push_back(
                line + cp(code.kind == CodeKind::QR ? "QR-код: " : "DataMatrix: ") +
                cp("в тексте знак, которого нет в Windows-1251: код не построен"));
            return;
        }
        CodeModules modules;
        try {
            modules = EncodeCode(code.kind, win1251::toUtf8(code.text));
        } catch (const CodeError& e) {
            result_.notes.push_back(line + e.message());
            return;
        }
        const double module = CodeModuleSize(modules, code.size);
        if (module < settings_.LineWidth)
            result_.notes.push_back(
                line + cp("клетка кода ") +
                numtext::shortest(movenumber::roundHundredths(module), separator_) +
                cp(" мм уже линии ") + numtext::shortest(settings_.LineWidth, separator_) +
                cp(" мм: код может не читаться"));
        double left = 0;
        if (align == LineAlign::Centre) left = (project_.FieldWidth - code.size) / 2;
        if (align == LineAlign::Right) left = project_.FieldWidth - code.size;
        bool first = true;
        for (const auto& stroke : CodeFillStrokes(modules, code.size, settings_.LineWidth)) {
            // White modules between the runs: the pen lifts whatever NoRazriv says.
            if (!first) addPenUp(false, false);
            first = false;
            for (const CodePoint& p : stroke)
                emit(PenPoint{FinishedCoordinate(left + p.x), FinishedCoordinate(-(lineY + p.y)),
                              0});
        }
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
            if (fitted_) {
                place(placer_->place(PenPoint{g.X * scale_, g.Y * scale_, 0}, glyph.width * scale_,
                                     (penX - shift_) * scale_, lineY + drop_));
                drawn = true;
                continue;
            }
            if (placer_) {
                place(placer_->place(g, glyph.width, penX, lineY));
                drawn = true;
                continue;
            }
            place(PenPoint{movenumber::roundHundredths(g.X + penX),
                           movenumber::roundHundredths(-(g.Y + lineY)), 0});
            drawn = true;
        }
    }

    // A placed drawing point: straight on, or kept for the copies of a bold stroke.
    void place(const PenPoint& p) {
        if (bold_ > 1)
            stroke_.push_back(p);
        else
            emit(p);
    }

    void flushBoldStroke() {
        if (stroke_.empty()) return;
        for (const PenPoint& p : BoldStroke(stroke_, bold_, settings_.LineWidth)) emit(p);
        stroke_.clear();
    }

    // The record goes into the list or the sink; a mirrored plate's drawing
    // points turn about the field's middle on the way.
    void emit(PenPoint p) {
        if (mirror_ && p.Z == 0) p.X = FinishedCoordinate(project_.FieldWidth - p.X);
        ++records_;
        if (sink_) {
            sink_->add(p);
            return;
        }
        if (!buildTexts_) {
            points_->append(p, {});
            return;
        }
        points_->appendMove(p, separator_);
    }

    PenPointSink* const sink_;  // none: the records go into the result's list
    const Project& project_;
    const ProjectStream* const stream_;
    const MachiningSettings& settings_;
    const bool buildTexts_;
    const char separator_;
    const bool lettersJoin_;  // the pen runs on from letter to letter within a word
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
    // A fitted line: glyphs scaled by scale_ about the ink's left end shift_
    // (letter mm), and lowered by drop_.
    bool fitted_ = false;
    double scale_ = 1;
    double shift_ = 0;
    double drop_ = 0;
    std::vector<double> blockScale_;  // by line number; 0: in no fitted block
    bool mirror_ = false;
    int bold_ = 1;
    std::vector<PenPoint> stroke_;  // the bold line's stroke being drawn
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

namespace {

// A text of this source (UTF-8) in the given form.
std::string inForm(std::string_view utf8, TextForm form) {
    return form == TextForm::Utf8 ? std::string(utf8) : cp(utf8);
}

// The character between quotes, as the messages name it.
std::string quotedLetter(char32_t character, TextForm form) {
    const std::string name = "'" + LetterName(character) + "'";
    if (form == TextForm::Win1251) return name;
    bool ok = false;
    const unsigned char code = win1251::fromUnicode(character, &ok);
    if ((ok && code != win1251::kForeign) || character == kUnknownCharacter ||
        code == win1251::kForeign)
        return win1251::toUtf8(name);
    // The character itself, with its code: a font maker looks letters up by it.
    return "'" + win1251::codePointToUtf8(character) + "' (" + name.substr(1, name.size() - 2) +
           ")";
}

}  // namespace

std::string MissingCharacterMessage(char32_t character, TextForm form) {
    return inForm("Буква ", form) + quotedLetter(character, form) + inForm(" не найдена", form);
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

std::string MissingLettersSummary(const std::vector<char32_t>& characters, TextForm form) {
    std::string letters;
    const auto counts = counted(characters);
    for (const auto& [character, count] : counts)
        letters += (letters.empty() ? "" : ", ") + quotedLetter(character, form);
    return inForm("Не найдено букв: ", form) + std::to_string(characters.size()) +
           inForm(" (разных: ", form) + std::to_string(counts.size()) + "):\r\n" + letters;
}

std::vector<std::string> MissingLetterCounts(const std::vector<char32_t>& characters,
                                             TextForm form) {
    std::vector<std::string> lines;
    for (const auto& [character, count] : counted(characters))
        lines.push_back(MissingCharacterMessage(character, form) + ": " + std::to_string(count) +
                        " " + inForm(times(count), form));
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
