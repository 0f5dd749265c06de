#include "main/PlateFields.h"

#include <algorithm>
#include <charconv>

#include "lib/Win1251.h"

MissingValueError::MissingValueError(const std::string& field)
    : VezorError(cp("нет значения поля «") + field + cp("»")), name(field) {}

PlateText::PlateText(std::string_view text) {
    std::string literal;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto open = text.find('{', i);
        const auto close = open == std::string_view::npos ? open : text.find('}', open);
        if (close == std::string_view::npos) break;
        const std::string_view inside = text.substr(open + 1, close - open - 1);
        Piece field{std::string(inside), true};
        const auto colon = inside.find(':');
        bool valid = !inside.empty() && inside.find_first_of("{\r\n") == std::string_view::npos;
        if (valid && colon != std::string_view::npos) {
            const std::string_view digits = inside.substr(colon + 1);
            field.text = std::string(inside.substr(0, colon));
            unsigned long long start = 0;
            const auto [end, ec] =
                std::from_chars(digits.data(), digits.data() + digits.size(), start);
            valid = field.text == "N" && !digits.empty() && ec == std::errc() &&
                    end == digits.data() + digits.size();
            field.width = digits.size();
            field.start = start;
        }
        if (!valid) {
            // Not a field: the brace is text and the search goes on after it.
            literal.append(text.substr(i, open + 1 - i));
            i = open + 1;
            continue;
        }
        literal.append(text.substr(i, open - i));
        if (!literal.empty()) pieces_.push_back(Piece{std::move(literal)});
        literal.clear();
        if (std::find(names_.begin(), names_.end(), field.text) == names_.end())
            names_.push_back(field.text);
        pieces_.push_back(std::move(field));
        i = close + 1;
    }
    literal.append(text.substr(std::min(i, text.size())));
    if (!literal.empty()) pieces_.push_back(Piece{std::move(literal)});
}

std::string PlateText::fill(unsigned long long number, bool fromStart, const Lookup& lookup) const {
    std::string out;
    for (const Piece& piece : pieces_) {
        if (!piece.field) {
            out += piece.text;
            continue;
        }
        std::optional<std::string> value = lookup(piece.text);
        if (!value && piece.text == "N") {
            std::string digits = std::to_string(fromStart ? piece.start + number - 1 : number);
            if (digits.size() < piece.width) digits.insert(0, piece.width - digits.size(), '0');
            value = std::move(digits);
        }
        if (!value || value->empty()) throw MissingValueError(piece.text);
        out += *value;
    }
    return out;
}
