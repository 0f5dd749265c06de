#pragma once

#include <optional>
#include <string>

// The file chooser's eight file types (index 0 to 7) and the wildcard patterns
// its file list filters by. Names and patterns are UTF-8.
namespace filetype {

constexpr int kCount = 8;

bool isValid(int type);
// "*.*", "*.wav", ... "*.txt"; "" for an index outside 0..7.
std::string pattern(int type);
// What the label beside the options shows: "+ " and the pattern; "" outside 0..7.
std::string label(int type);
// The option's own text; types shown with a picture (1 to 3) have none.
std::string optionText(int type);
// The prefix box's text followed by the type's pattern ("ab", 7 -> "ab*.txt");
// nothing for an index outside 0..7.
std::optional<std::string> prefixedPattern(const std::string& prefix, int type);

// Wildcard match as the Windows file functions do it: "*" any run, "?" one
// character, letter case ignored, and a trailing ".*" also matches a name
// without an extension (so "*.*" lists every file).
bool matches(const std::string& name, const std::string& pattern);

}  // namespace filetype
