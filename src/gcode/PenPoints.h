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
// Windows-1251). The texts live in one buffer, so a million records cost no
// million allocations.
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
    const PenPoint& operator[](std::size_t pos) const { return records_[pos - 1].point; }
    PenPoint& point(std::size_t pos) { return records_[pos - 1].point; }
    std::string_view line(std::size_t pos) const {
        const Record& r = records_[pos - 1];
        return std::string_view(text_).substr(r.offset, r.length);
    }

    void append(const PenPoint& point, std::string_view line);

    // Records only: the moves are what the records were read to.
    bool operator==(const PenPoints& other) const;

    // The moves the interpreter ran for the records of another program's
    // G-code (ToolMoves.h); none for a laid-out path or a file read word by word.
    const std::shared_ptr<const ToolMoves>& moves() const { return moves_; }
    void setMoves(std::shared_ptr<const ToolMoves> moves) { moves_ = std::move(moves); }

  private:
    struct Record {
        PenPoint point;
        std::size_t offset = 0;
        std::size_t length = 0;
    };
    std::vector<Record> records_;
    std::string text_;
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
