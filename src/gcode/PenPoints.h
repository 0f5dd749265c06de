#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class ToolMoves;

// One record of the tool path, in millimetres. A drawing point has X and Y
// non-zero and Z 0; a pen-up record has X = Y = 0 and Z a safe height.
struct PenPoint {
    double X = 0;
    double Y = 0;
    double Z = 0;
    bool operator==(const PenPoint&) const = default;
};

// The tool path: a 1-based list of records, each with its G-code text (`Line`,
// Windows-1251). A record costs 16 bytes: each coordinate is kept as a whole
// number of units of 10^-s mm (s up to 7), which gives back the very double it
// came from; the rare value that no such number gives back exactly (-0, many
// digits, out of range) lies in a side table. A record's text is either its
// own line, kept in one shared buffer, or the text of its move (a laid-out
// path), written again whenever it is asked for.
class PenPoints {
  public:
    // A new list holds the all-zero placeholder record 1 with an empty text.
    PenPoints() { reset(); }

    // Back to the single placeholder record.
    void reset();
    // No records at all (the G-code reader fills from position 1).
    void clear();
    void reserve(std::size_t records, std::size_t textBytes);

    // Position of the last record (0 only after clear()).
    std::size_t count() const { return records_.size(); }

    // 1-based access; positions outside 1..count() are a programming error.
    PenPoint operator[](std::size_t pos) const {
        const Record& r = records_[pos - 1];
        const std::size_t key = 3 * (pos - 1);
        return {decode(r.x, key), decode(r.y, key + 1), decode(r.z, key + 2)};
    }
    // The record's text, cut to at most `limit` bytes.
    std::string line(std::size_t pos, std::size_t limit = std::string::npos) const;
    // Whether the record's text is its move's text (appendMove) rather than a line of its own.
    bool hasMoveText(std::size_t pos) const { return (records_[pos - 1].x & kMoveTextBit) != 0; }
    // The record's own line, without a copy; empty for a move's text.
    std::string_view ownLine(std::size_t pos) const;

    // A record with its own text.
    void append(const PenPoint& point, std::string_view line);
    // A record whose text is its move's (FormatMoveLine) with the given decimal
    // separator, one for the whole list.
    void appendMove(const PenPoint& point, char decimalSeparator);

    // Records only: the moves are what the records were read to.
    bool operator==(const PenPoints& other) const;

    // The moves the interpreter ran for the records of another program's
    // G-code (ToolMoves.h); none for a laid-out path or a file read word by word.
    const std::shared_ptr<const ToolMoves>& moves() const { return moves_; }
    void setMoves(std::shared_ptr<const ToolMoves> moves) { moves_ = std::move(moves); }

  private:
    // A coordinate word: bit 0 a flag (on X: the text is the move's), bits 1-3
    // the decimals s, bits 4-31 the signed number of units; kExact there: the
    // value lies in exact_.
    struct Record {
        std::uint32_t x = 0;
        std::uint32_t y = 0;
        std::uint32_t z = 0;
        std::uint32_t text = 0;  // low 32 bits of the text's offset in text_
    };
    static_assert(sizeof(Record) == 16);
    static constexpr std::uint32_t kMoveTextBit = 1;
    static constexpr std::int32_t kExact = -(1 << 27);
    static constexpr double kUnits[8] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7};

    double decode(std::uint32_t word, std::size_t key) const {
        const std::int32_t units = static_cast<std::int32_t>(word) >> 4;
        if (units == 0) return 0.0;
        if (units == kExact) return exactValue(key);
        return static_cast<double>(units) / kUnits[(word >> 1) & 7];
    }
    std::uint32_t encode(double value, std::size_t key);
    double exactValue(std::size_t key) const;
    std::size_t textStart(std::size_t index) const;
    void push(const PenPoint& point, std::uint32_t flags);

    std::vector<Record> records_;
    std::string text_;
    // Values kept whole, by key 3 * index + axis, in the order they came.
    std::vector<std::pair<std::size_t, double>> exact_;
    // Where the text offset passes each multiple of 2^32: the record index, once per step.
    std::vector<std::size_t> textSteps_;
    char separator_ = '.';
    std::shared_ptr<const ToolMoves> moves_;
};

// The view bounds of the preview, in millimetres; 0 at start.
struct ViewBounds {
    double MinX = 0;
    double MinY = 0;
    double MaxX = 0;
    double MaxY = 0;
    bool operator==(const ViewBounds&) const = default;
};
