#include "lib/FileTypeFilter.h"

#include <QList>
#include <QString>
#include <array>
#include <string_view>

namespace filetype {
namespace {

constexpr std::array<std::string_view, kCount> kPatterns = {"*.*",   "*.wav", "*.swf", "*.htm",
                                                            "*.gif", "*.jpg", "*.bmp", "*.txt"};
constexpr std::array<std::string_view, kCount> kOptionTexts = {"*.*", "",    "",    "",
                                                               "gif", "jpg", "bmp", "txt"};

std::u32string folded(const std::string& utf8) {
    const QList<uint> ucs4 = QString::fromStdString(utf8).toUcs4();
    std::u32string out;
    out.reserve(static_cast<std::size_t>(ucs4.size()));
    for (uint c : ucs4) out += static_cast<char32_t>(QChar::toCaseFolded(static_cast<char32_t>(c)));
    return out;
}

// Greedy match that backtracks only to the last "*": linear enough for file names
// and never exponential, whatever the user types into the prefix box.
bool globMatch(std::u32string_view name, std::u32string_view pat) {
    std::size_t n = 0, p = 0;
    std::size_t starP = std::u32string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pat.size() && (pat[p] == U'?' || pat[p] == name[n])) {
            ++n;
            ++p;
        } else if (p < pat.size() && pat[p] == U'*') {
            starP = p++;
            starN = n;
        } else if (starP != std::u32string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pat.size() && pat[p] == U'*') ++p;
    return p == pat.size();
}

}  // namespace

bool isValid(int type) { return type >= 0 && type < kCount; }

std::string pattern(int type) {
    return isValid(type) ? std::string(kPatterns[static_cast<std::size_t>(type)]) : std::string();
}

std::string label(int type) { return isValid(type) ? "+ " + pattern(type) : std::string(); }

std::string optionText(int type) {
    return isValid(type) ? std::string(kOptionTexts[static_cast<std::size_t>(type)])
                         : std::string();
}

std::optional<std::string> prefixedPattern(const std::string& prefix, int type) {
    if (!isValid(type)) return std::nullopt;
    return prefix + pattern(type);
}

bool matches(const std::string& name, const std::string& pattern) {
    const std::u32string n = folded(name);
    const std::u32string p = folded(pattern);
    if (globMatch(n, p)) return true;
    // "name.*" also stands for "name" with no extension at all.
    return p.size() >= 2 && p.ends_with(U".*") && n.find(U'.') == std::u32string::npos &&
           globMatch(n, std::u32string_view(p).substr(0, p.size() - 2));
}

}  // namespace filetype
