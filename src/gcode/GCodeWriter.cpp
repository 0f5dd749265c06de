#include "gcode/GCodeWriter.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>
#include <vector>

#include "gcode/EstimatorThread.h"
#include "gcode/GCodeEstimate.h"
#include "gcode/MoveNumber.h"
#include "gcode/MoveText.h"
#include "gcode/PenPointSink.h"
#include "lib/Fail_YN.h"
#include "lib/NumberText.h"
#include "lib/ProgramFolder.h"
#include "lib/TextFile.h"
#include "lib/Win1251.h"

GCodeTarget ProposeGCodeTarget(const std::string& projectPath, const std::string& extension) {
    return GCodeTarget{Fail_YN::DelAppPath(Fail_YN::DelFailInPath(projectPath)),
                       Fail_YN::DelRashirenie(Fail_YN::DelPath(projectPath)) + extension};
}

std::string GCodeFilePath(const GCodeTarget& target, const std::string& answer) {
    return joinPath(Fail_YN::AppPath(), target.relativeFolder + answer);
}

NothingToWriteError::NothingToWriteError()
    : VezorError(cp("Нет перемещений для записи: G-code не записан")) {}

CoordinateRangeError::CoordinateRangeError()
    : VezorError(cp("Координаты вне допустимого диапазона: G-code не записан")) {}

namespace {

bool isLift(const PenPoint& p) { return p.Z > 0; }
bool isDrawingPoint(const PenPoint& p) { return p.X != 0 && p.Y != 0 && p.Z == 0; }

constexpr double kMmPerInch = 25.4;

enum class Slot { None, X, Y, Lift, Feed };

// A part compiled for one pass: its fixed values already in the text, the
// coordinates and the lift height left as slots.
struct PreparedPart;

struct Part {
    struct Piece {
        std::string text;
        Slot slot = Slot::None;
    };
    std::vector<Piece> pieces;
    std::size_t maxSize = 0;
    // Read once for the machining figures, when they are wanted.
    mutable std::shared_ptr<const PreparedPart> prepared;
};

struct Constants {
    std::string Z, safe, F, P, S, U, D, units;
};

std::string fixed(double v, int decimals, bool trim) {
    char buffer[movenumber::kMaxNumberLength];
    return std::string(buffer, movenumber::writeFixed(buffer, v, decimals, trim));
}

std::string shortest(double v) {
    std::string s;
    movenumber::appendShortest(s, v, '.');
    return s;
}

// A rotary axis turns the work under the tool: Y words name its axis and
// carry degrees, and a line move its own feed (see rotaryFeed).
struct Rotary {
    bool on = false;
    std::string axis;         // the letter written for Y
    double degreesPerMm = 0;  // of the work's surface
    double feed = 0;          // the programmed surface speed, in program units
    bool inches = false;
};

Part compile(const std::string& text, const Constants& c, std::string_view eol,
             const Rotary& rotary = {}, bool lineMove = false) {
    Part part;
    if (text.empty()) return part;
    const bool feedSlot = rotary.on && lineMove;
    std::string literal;
    const auto flush = [&](Slot slot) {
        part.pieces.push_back({literal, slot});
        part.maxSize += literal.size() + (slot == Slot::None ? 0 : movenumber::kMaxNumberLength);
        literal.clear();
    };
    const std::pair<std::string_view, const std::string*> values[] = {
        {"{Z}", &c.Z}, {"{SAFE}", &c.safe}, {"{F}", &c.F}, {"{P}", &c.P},
        {"{S}", &c.S}, {"{U}", &c.U},       {"{D}", &c.D}, {"{UNITS}", &c.units}};
    for (std::size_t i = 0; i < text.size();) {
        const std::string_view rest = std::string_view(text).substr(i);
        if (rest.starts_with("{X}") || rest.starts_with("{Y}")) {
            flush(rest[1] == 'X' ? Slot::X : Slot::Y);
            i += 3;
            continue;
        }
        if (rest.starts_with("{LIFT}")) {
            flush(Slot::Lift);
            i += 6;
            continue;
        }
        if (feedSlot && rest.starts_with("{F}")) {
            flush(Slot::Feed);
            i += 3;
            continue;
        }
        if (rotary.on && rest.starts_with("Y{Y}")) {
            literal += rotary.axis;
            ++i;
            continue;
        }
        bool replaced = false;
        for (const auto& [name, value] : values) {
            if (rest.starts_with(name)) {
                literal += *value;
                i += name.size();
                replaced = true;
                break;
            }
        }
        if (replaced) continue;
        if (text[i] == '\n')
            literal += eol;
        else
            literal += text[i];
        ++i;
    }
    if (feedSlot && text.find("{F}") == std::string::npos) {
        literal += 'F';
        flush(Slot::Feed);
    }
    literal += eol;
    flush(Slot::None);
    return part;
}

// The text of a coordinate and of a lift height, as every part writes them.
char* writeCoordinate(char* out, double v, bool inches) {
    return inches ? movenumber::writeFixed(out, v / kMmPerInch, 4, true)
                  : movenumber::writeShortest(out, v, '.');
}
// The list's form of a lift height: whole heights with ".00".
char* writeLift(char* out, double z, bool inches) {
    if (inches) return movenumber::writeFixed(out, z / kMmPerInch, 4, true);
    if (z != numtext::roundToWholeHalfEven(z)) return movenumber::writeTwoDecimals(out, z, '.');
    char* end = movenumber::writeShortest(out, z, '.');
    std::memcpy(end, ".00", 3);
    return end + 3;
}

// Collects the program in blocks and hands each full block to the sink; every
// part is written through a pointer, with its room checked once.
class ProgramWriter {
  public:
    ProgramWriter(GCodeSink& sink, bool inches) : sink_(sink), inches_(inches) {
        buffer_.resize(kBlock + kSlack);
        p_ = buffer_.data();
    }

    void room(std::size_t bytes) {
        if (static_cast<std::size_t>(p_ - buffer_.data()) + bytes <= buffer_.size()) return;
        flush();
        if (bytes > buffer_.size()) buffer_.resize(bytes);
        p_ = buffer_.data();
    }
    void flush() {
        sink_.write(
            std::string_view(buffer_.data(), static_cast<std::size_t>(p_ - buffer_.data())));
        p_ = buffer_.data();
    }
    void put(std::string_view s) {
        room(s.size());
        std::memcpy(p_, s.data(), s.size());
        p_ += s.size();
    }

    void part(const Part& part, const PenPoint& at, double feed = 0) {
        if (part.pieces.empty()) return;
        room(part.maxSize);
        for (const Part::Piece& piece : part.pieces) {
            std::memcpy(p_, piece.text.data(), piece.text.size());
            p_ += piece.text.size();
            switch (piece.slot) {
                case Slot::X:
                    p_ = coordinate(at.X);
                    break;
                case Slot::Y:
                    p_ = coordinate(at.Y);
                    break;
                case Slot::Lift:
                    p_ = lift(at.Z);
                    break;
                case Slot::Feed:
                    p_ = movenumber::writeFixed(p_, feed, 2, true);
                    break;
                case Slot::None:
                    break;
            }
        }
        if (static_cast<std::size_t>(p_ - buffer_.data()) >= kBlock) flush();
    }

    // A record that is neither a drawing point nor a lift (only in a list read
    // from a file): its list text, as the list has always been saved.
    void moveText(const PenPoint& p, std::string_view eol) {
        room(kMaxMoveText + eol.size());
        char* const start = p_;
        p_ = WriteMoveText(p_, p.X, p.Y, p.Z, '.');
        std::replace(start, p_, ',', '.');
        std::memcpy(p_, eol.data(), eol.size());
        p_ += eol.size();
    }

  private:
    char* coordinate(double v) { return writeCoordinate(p_, v, inches_); }
    char* lift(double z) { return writeLift(p_, z, inches_); }

    static constexpr std::size_t kBlock = std::size_t{1} << 20;
    static constexpr std::size_t kSlack = std::size_t{1} << 16;
    GCodeSink& sink_;
    bool inches_;
    std::string buffer_;
    char* p_ = nullptr;
};

// A part's lines read once for the machining figures.
struct PreparedPart {
    struct Line {
        GCodeEstimator::PreparedLine line;
        std::vector<Slot> slots;  // what fills each hole
    };
    std::vector<Line> lines;
    bool exact = true;  // false: a number stands where no axis word reads it whole
};

std::shared_ptr<const PreparedPart> prepare(const Part& part) {
    auto prepared = std::make_shared<PreparedPart>();
    std::string text;
    std::vector<std::size_t> holes;
    std::vector<Slot> slots;
    const auto endLine = [&] {
        if (const auto line = GCodeEstimator::prepare(text, holes))
            prepared->lines.push_back({*line, slots});
        else
            prepared->exact = false;
        text.clear();
        holes.clear();
        slots.clear();
    };
    for (const Part::Piece& piece : part.pieces) {
        for (char c : piece.text) {
            if (c != '\n' && c != '\r')
                text += c;
            else if (!text.empty())
                endLine();
        }
        if (piece.slot != Slot::None) {
            holes.push_back(text.size());
            slots.push_back(piece.slot);
            text += '0';
        }
    }
    if (!text.empty()) endLine();
    return prepared;
}

// Parts read for the figures, kept while the estimator may still run their lines.
using PreparedParts = std::vector<std::shared_ptr<const PreparedPart>>;

// The machining figures of the program the records make, without its text:
// each part's lines are read once and a record brings only its numbers. A part
// whose numbers stand elsewhere, and a record written by its list text, are
// written out for the estimator to read.
class FigureWriter {
  public:
    FigureWriter(EstimatorThread& estimator, PreparedParts& kept, bool inches)
        : estimator_(estimator), kept_(kept), text_(estimator, inches), inches_(inches) {}

    void part(const Part& part, const PenPoint& at, double feed = 0) {
        if (part.pieces.empty()) return;
        if (!part.prepared) {
            part.prepared = prepare(part);
            kept_.push_back(part.prepared);
        }
        if (!part.prepared->exact) {
            text_.part(part, at, feed);
            text_.flush();
            return;
        }
        for (const PreparedPart::Line& line : part.prepared->lines) {
            std::array<double, 3> axis{};
            for (std::size_t k = 0; k < 3; ++k)
                if (line.line.hole[k] >= 0)
                    axis[k] = value(line.slots[static_cast<std::size_t>(line.line.hole[k])], at);
            estimator_.run(line.line, axis);
        }
    }
    void moveText(const PenPoint& p, std::string_view eol) {
        text_.moveText(p, eol);
        text_.flush();
    }

  private:
    // The number the estimator reads where the program has the slot's text.
    double value(Slot slot, const PenPoint& at) {
        char buffer[movenumber::kMaxNumberLength + 8];
        char* end = buffer;
        const double v = slot == Slot::X ? at.X : slot == Slot::Y ? at.Y : at.Z;
        if (slot == Slot::Lift) {
            // Whole heights are written whole.
            if (!inches_ && v == numtext::roundToWholeHalfEven(v) && std::fabs(v) < 1e14)
                return v == 0 ? 0.0 : v;
            end = writeLift(buffer, v, inches_);
        } else {
            // A whole number of hundredths is written as just that decimal.
            if (!inches_ && std::fabs(v * 100.0) < 1e14 && movenumber::roundHundredths(v) == v)
                return v == 0 ? 0.0 : v;
            end = writeCoordinate(buffer, v, inches_);
        }
        double read = 0;
        std::from_chars(buffer, end, read);
        return read;
    }

    EstimatorThread& estimator_;
    PreparedParts& kept_;
    ProgramWriter text_;
    bool inches_;
};

Constants constantsFor(const GCodeProfile& profile, std::string_view feed, double z) {
    Constants c;
    const bool in = profile.inches;
    c.units = in ? "G20" : "G21";
    c.Z = in ? fixed(z / kMmPerInch, 4, false) : fixed(z, 3, false);
    c.safe = in ? fixed(profile.safeZ / kMmPerInch, 4, true) : fixed(profile.safeZ, 2, false);
    if (in) {
        const auto mm = numtext::parseLocaleNumber(feed, '.');
        if (!mm || !std::isfinite(*mm))
            throw ProfileError(cp("Подача «") + std::string(feed) +
                               cp("» не число: в дюймах её не записать"));
        c.F = fixed(*mm / kMmPerInch, 2, true);
        c.P = fixed(profile.plungeFeed / kMmPerInch, 2, true);
    } else {
        c.F = std::string(feed);
        c.P = fixed(profile.plungeFeed, 2, true);
    }
    c.S = shortest(profile.spindle);
    c.U = shortest(profile.servoUp);
    c.D = shortest(profile.dwell);
    return c;
}

void checkWritable(const PenPoints& points) {
    bool draws = false;
    for (std::size_t i = 2; i <= points.count(); ++i) {
        const PenPoint& p = points[i];
        if (!std::isfinite(p.X) || !std::isfinite(p.Y) || !std::isfinite(p.Z))
            throw CoordinateRangeError();
        draws = draws || isDrawingPoint(p);
    }
    // Lifts alone would only move the tool about above the plate.
    if (!draws) throw NothingToWriteError();
}

// Watches the records on their way to `next` for what makes a program
// unwritable; a record that is not finite goes no further, nor any after it.
class CheckedRecords final : public PenPointSink {
  public:
    explicit CheckedRecords(PenPointSink* next = nullptr) : next_(next) {}
    void forwardTo(PenPointSink* next) { next_ = next; }
    void add(const PenPoint& p) override {
        if (!finite_) return;
        if (!std::isfinite(p.X) || !std::isfinite(p.Y) || !std::isfinite(p.Z)) {
            finite_ = false;
            return;
        }
        draws_ = draws_ || isDrawingPoint(p);
        if (next_) next_->add(p);
    }
    void verdict() const {
        if (!finite_) throw CoordinateRangeError();
        if (!draws_) throw NothingToWriteError();
    }

  private:
    PenPointSink* next_;
    bool finite_ = true;
    bool draws_ = false;
};

}  // namespace

bool HasSomethingToWrite(const PenPoints& points) {
    for (std::size_t i = 2; i <= points.count(); ++i)
        if (isDrawingPoint(points[i])) return true;
    return false;
}

namespace {

// The parts of one pass.
struct PassParts {
    Part rapid, penDown, firstDown, line, penUp;
};

Rotary rotaryOf(const GCodeProfile& profile, std::string_view feed) {
    Rotary r;
    if (!(profile.rotaryDiameter > 0)) return r;
    const auto mm = numtext::parseLocaleNumber(feed, '.');
    if (!mm || !std::isfinite(*mm) || !(*mm > 0))
        throw ProfileError(cp("Подача «") + std::string(feed) +
                           cp("» не число: для поворотной оси её не пересчитать"));
    r.on = true;
    r.axis = profile.rotaryAxis;
    r.degreesPerMm = 360 / (std::numbers::pi * profile.rotaryDiameter);
    r.feed = profile.inches ? *mm / kMmPerInch : *mm;
    r.inches = profile.inches;
    return r;
}

// Where a record puts the tool: Y as the axis's degrees on a rotary axis
// (for inch output given in the 25.4ths the coordinate writer divides out, as
// degrees are no length).
PenPoint onMachine(const PenPoint& p, const Rotary& r) {
    if (!r.on) return p;
    const double degrees = movenumber::roundHundredths(p.Y * r.degreesPerMm);
    return PenPoint{p.X, r.inches ? degrees * kMmPerInch : degrees, p.Z};
}

// A controller without inverse-time feed moves X and the rotary axis together
// at F in mixed units (mm and degrees): the move's feed is the surface speed
// times the ratio of that mixed length to the surface length.
double rotaryFeed(const PenPoint& from, const PenPoint& to, const Rotary& r, bool inches) {
    const double scale = inches ? 1 / kMmPerInch : 1;
    const double dx = (to.X - from.X) * scale;
    const double surface = std::hypot(dx, (to.Y - from.Y) * scale);
    if (!(surface > 0)) return r.feed;
    return r.feed * std::hypot(dx, (to.Y - from.Y) * r.degreesPerMm) / surface;
}

// One pass's parts for the records as they come, into `out`: the text writer
// or the figure writer, so that both see the same program. A lift's move to
// the next record waits for that record.
template <class Out>
class PassWriter final : public PenPointSink {
  public:
    PassWriter(const PassParts& parts, const GCodeProfile& profile, const Rotary& rotary,
               bool lastPass, std::string_view eol, Out& out)
        : parts_(parts),
          profile_(profile),
          rotary_(rotary),
          lastPass_(lastPass),
          eol_(eol),
          out_(out) {}

    void add(const PenPoint& p) override {
        if (first_) {
            first_ = false;
            // A text that starts with a lift (a digit, a punctuation mark, an
            // empty line) must not plunge where the tool happens to be: the
            // lift's own line and the move to the first letter come first.
            if (!isLift(p)) {
                out_.part(parts_.rapid, onMachine(p, rotary_));
                at_ = p;
                out_.part(parts_.firstDown, none_);
            }
        }
        if (afterLift_) {
            out_.part(parts_.rapid, onMachine(p, rotary_));
            at_ = p;
            out_.part(parts_.penDown, none_);
            afterLift_ = false;
        }
        if (isDrawingPoint(p)) {
            out_.part(parts_.line, onMachine(p, rotary_),
                      rotary_.on ? rotaryFeed(at_, p, rotary_, profile_.inches) : 0);
            at_ = p;
        } else if (isLift(p)) {
            if (profile_.listForm && (p.X != 0 || p.Y != 0))
                out_.moveText(p, eol_);
            else
                out_.part(parts_.penUp, p);
            afterLift_ = true;
        } else if (!profile_.inches) {
            out_.moveText(p, eol_);
        }
    }

    // After the last record: a program that ends on a lift.
    void finish() {
        if (afterLift_ && profile_.listForm && lastPass_) out_.part(parts_.penDown, none_);
    }

  private:
    const PassParts& parts_;
    const GCodeProfile& profile_;
    const Rotary& rotary_;
    PenPoint at_;  // the surface point the tool is over, for a rotary move's feed
    const bool lastPass_;
    const std::string_view eol_;
    Out& out_;
    const PenPoint none_;
    bool first_ = true;
    bool afterLift_ = false;
};

// The whole program, pass by pass, each pass going through the records once;
// the first pass's records go by `check` on their way, when given.
template <class Out>
void emitProgram(const PenPointSource& records, std::string_view feed, const GCodeProfile& profile,
                 std::string_view eol, Out& out, CheckedRecords* check = nullptr) {
    const PenPoint none;
    const Rotary rotary = rotaryOf(profile, feed);
    for (int pass = 0; pass < profile.passes; ++pass) {
        const Constants c = constantsFor(profile, feed, PassDepth(profile, pass));
        const bool lastPass = pass + 1 == profile.passes;
        if (pass == 0) out.part(compile(profile.start, c, eol), none);
        PassParts parts{compile(profile.rapid, c, eol, rotary),
                        compile(profile.penDown, c, eol),
                        {},
                        compile(profile.line, c, eol, rotary, true),
                        compile(profile.penUp, c, eol)};
        parts.firstDown =
            profile.firstDown.empty() ? parts.penDown : compile(profile.firstDown, c, eol);
        PassWriter<Out> writer(parts, profile, rotary, lastPass, eol, out);
        if (pass == 0 && check) {
            check->forwardTo(&writer);
            records(*check);
            check->forwardTo(nullptr);
            check->verdict();
        } else {
            records(writer);
        }
        writer.finish();
        if (lastPass) out.part(compile(profile.end, c, eol), none);
    }
}

std::string_view endOfLine(const GCodeProfile& profile) { return profile.crlf ? "\r\n" : "\n"; }

// The figures, the records checked on the way (they throw before any figure
// is returned from records that make no program).
MachiningFigures checkedFigures(const PenPointSource& records, std::string_view feed,
                                const GCodeProfile& profile) {
    PreparedParts kept;  // outlives the estimator's thread
    EstimatorThread estimator(LimitsOf(profile));
    FigureWriter out(estimator, kept, profile.inches);
    CheckedRecords check;
    emitProgram(records, feed, profile, endOfLine(profile), out, &check);
    return estimator.finish();
}

// The figures' comment lines that lead the program.
std::string figureHeader(const MachiningFigures& figures, std::string_view eol) {
    std::string header;
    for (const auto& [name, value] : FigureLines(figures))
        header += "(" + name + " " + value + ")" + std::string(eol);
    return header;
}

}  // namespace

MachiningFigures EstimateProgram(const PenPoints& points, std::string_view feed,
                                 const GCodeProfile& profile) {
    checkWritable(points);
    return checkedFigures(RecordsOf(points), feed, profile);
}

MachiningFigures EstimateProgram(const PenPointSource& records, std::string_view feed,
                                 const GCodeProfile& profile) {
    return checkedFigures(records, feed, profile);
}

namespace {

enum class RecordCheck { First, OnTheWay, Done };

// The program's text and its figures from the same parts, in one go.
struct TextAndFigures {
    ProgramWriter& text;
    FigureWriter& figures;
    void part(const Part& part, const PenPoint& at, double feed = 0) {
        text.part(part, at, feed);
        figures.part(part, at, feed);
    }
    void moveText(const PenPoint& p, std::string_view eol) {
        text.moveText(p, eol);
        figures.moveText(p, eol);
    }
};

class ScratchSink final : public GCodeSink {
  public:
    explicit ScratchSink(textfile::ScratchFile& file) : file_(file) {}
    void write(std::string_view bytes) override { file_.write(bytes); }

  private:
    textfile::ScratchFile& file_;
};

// A program that leads with its figures, into a file, going through the
// records once: the body goes into a scratch file beside the target while
// the figures are planned on their own thread, then the figures' lines and
// the body into the sink. False, with nothing written, when no scratch file
// can be made there.
bool writeFiguresFirstOnce(const std::string& target, const PenPointSource& records,
                           std::string_view feed, const GCodeProfile& profile, GCodeSink& sink,
                           RecordCheck when) {
    textfile::ScratchFile scratch(target);
    if (!scratch.open()) return false;
    const std::string_view eol = endOfLine(profile);
    MachiningFigures figures;
    {
        PreparedParts kept;  // outlives the estimator's thread
        EstimatorThread estimator(LimitsOf(profile));
        FigureWriter figureWriter(estimator, kept, profile.inches);
        ScratchSink scratchSink(scratch);
        SinkThread body(scratchSink);
        ProgramWriter text(body, profile.inches);
        TextAndFigures both{text, figureWriter};
        CheckedRecords check;
        emitProgram(records, feed, profile, eol, both,
                    when == RecordCheck::Done ? nullptr : &check);
        text.flush();
        body.finish();
        figures = estimator.finish();
    }
    sink.write(figureHeader(figures, eol));
    scratch.readBack([&](std::string_view block) { sink.write(block); });
    return true;
}

void writeProgram(const PenPointSource& records, std::string_view feed, const GCodeProfile& profile,
                  GCodeSink& sink, RecordCheck when) {
    const std::string_view eol = endOfLine(profile);
    // The figures first, from the records: the comment leads the program.
    // Working them out checks the records too.
    std::string header;
    if (profile.comments) {
        header = figureHeader(checkedFigures(records, feed, profile), eol);
        when = RecordCheck::Done;
    } else if (when == RecordCheck::First) {
        CheckedRecords check;
        records(check);
        check.verdict();
    }
    ProgramWriter out(sink, profile.inches);
    out.put(header);
    CheckedRecords check;
    emitProgram(records, feed, profile, eol, out, when == RecordCheck::OnTheWay ? &check : nullptr);
    out.flush();
}

}  // namespace

void WriteGCode(const PenPointSource& records, std::string_view feed, const GCodeProfile& profile,
                GCodeSink& sink, WrittenOnFailure onFailure) {
    writeProgram(records, feed, profile, sink,
                 onFailure == WrittenOnFailure::Kept ? RecordCheck::First : RecordCheck::OnTheWay);
}

void WriteGCode(const PenPoints& points, std::string_view feed, const GCodeProfile& profile,
                GCodeSink& sink) {
    checkWritable(points);
    writeProgram(RecordsOf(points), feed, profile, sink, RecordCheck::Done);
}

std::string BuildGCodeProgram(const PenPoints& points, std::string_view feed,
                              const GCodeProfile& profile) {
    StringSink sink;
    WriteGCode(points, feed, profile, sink);
    return std::move(sink.text);
}

void WriteGCodeFile(const std::string& path, std::string_view program) {
    textfile::writeAtomically(path, program);
}

namespace {

void writeFile(const std::string& path, const PenPointSource& records, std::string_view feed,
               const GCodeProfile& profile, RecordCheck when) {
    FileSink sink(path);
    if (!profile.comments || !writeFiguresFirstOnce(path, records, feed, profile, sink, when))
        writeProgram(records, feed, profile, sink, when);
    sink.commit();
}

}  // namespace

void WriteGCodeFile(const std::string& path, const PenPoints& points, std::string_view feed,
                    const GCodeProfile& profile) {
    checkWritable(points);
    writeFile(path, RecordsOf(points), feed, profile, RecordCheck::Done);
}

void WriteGCodeFile(const std::string& path, const PenPointSource& records, std::string_view feed,
                    const GCodeProfile& profile) {
    // A file not committed counts for nothing: the records are checked on the way.
    writeFile(path, records, feed, profile, RecordCheck::OnTheWay);
}
