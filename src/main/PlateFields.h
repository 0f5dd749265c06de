#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lib/VezorError.h"

// A text with fields to fill for each plate of a batch: "{N}" the plate's
// number, "{N:0001}" the same with at least four digits counted from 1 (the
// digits give width and start: "{N:100}" counts from 100), "{Name}" the value
// of a table column. A brace that opens no such field is ordinary text.
class PlateText {
  public:
    explicit PlateText(std::string_view text);

    // The field names, each once, in order of appearance ("N" included).
    const std::vector<std::string>& names() const { return names_; }
    bool hasFields() const { return !names_.empty(); }

    // A value of a named field, or nothing when the plate lacks it.
    using Lookup = std::function<std::optional<std::string>(const std::string& name)>;
    // The text with its fields filled. ordinal is the plate's place in its
    // table (1 for the first row) and counts from each N field's start;
    // a serial number is given as itself with fromStart false. N fields look
    // their value up first, so a table column "N" wins over the count.
    // Throws MissingValueError for a field without a value (or an empty one).
    std::string fill(unsigned long long number, bool fromStart, const Lookup& lookup) const;

  private:
    struct Piece {
        std::string text;  // literal text, or the field's name
        bool field = false;
        std::size_t width = 0;
        unsigned long long start = 1;
    };
    std::vector<Piece> pieces_;
    std::vector<std::string> names_;
};

class MissingValueError : public VezorError {
  public:
    explicit MissingValueError(const std::string& name);
    std::string name;
};
