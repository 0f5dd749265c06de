#include "main/ParameterCheck.h"

#include <array>
#include <optional>

#include "lib/NumberText.h"
#include "lib/Win1251.h"

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool onlyBlanks(std::string_view text) {
    for (const char c : text)
        if (!isBlank(c)) return false;
    return true;
}

// The value when the whole text (blanks around it allowed) is one number.
bool wholeNumber(std::string_view text, double& value) {
    std::size_t consumed = 0;
    value = numtext::leadingNumber(text, consumed);
    return consumed > 0 && onlyBlanks(text.substr(consumed));
}

// A number in the user's form (its decimal comma), which the window takes.
std::optional<double> localeNumber(std::string_view text, char decimalSeparator) {
    if (decimalSeparator == '.') return std::nullopt;
    return numtext::parseLocaleNumber(text, decimalSeparator);
}

}  // namespace

std::string ParameterFault(std::size_t index, std::string_view text, char decimalSeparator) {
    static const std::array<const char*, 4> names = {"Интервал", "Поле", "Высота", "Ширина"};
    if (index >= names.size()) return {};
    double value = 0;
    if (wholeNumber(text, value) && value > 0) return {};
    if (const auto typed = localeNumber(text, decimalSeparator))
        if (*typed > 0) return {};
    const std::string name = names[index];
    std::string pointed(text);
    for (char& c : pointed)
        if (c == ',') c = '.';
    if (pointed != text && wholeNumber(pointed, value) && value > 0) {
        while (!pointed.empty() && isBlank(pointed.back())) pointed.pop_back();
        pointed.erase(0, pointed.find_first_not_of(" \t"));
        return win1251::fromUtf8(name + ": дробную часть отделяйте точкой (" + pointed + ")");
    }
    return win1251::fromUtf8(name + ": введите число больше 0");
}

std::string ParameterInFileForm(std::string_view text, char decimalSeparator) {
    double value = 0;
    if (wholeNumber(text, value) || !localeNumber(text, decimalSeparator)) return std::string(text);
    std::string pointed(text);
    for (char& c : pointed)
        if (c == decimalSeparator) c = '.';
    return pointed;
}
