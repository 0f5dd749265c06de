#include "main/ParameterCheck.h"

#include <array>

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

}  // namespace

std::string ParameterFault(std::size_t index, std::string_view text) {
    static const std::array<const char*, 4> names = {"Интервал", "Поле", "Высота", "Ширина"};
    if (index >= names.size()) return {};
    double value = 0;
    if (wholeNumber(text, value) && value > 0) return {};
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
