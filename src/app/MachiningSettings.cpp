#include "app/MachiningSettings.h"

#include <cmath>
#include <optional>

#include "lib/Dialogs.h"
#include "lib/NumberText.h"
#include "lib/SettingsStore.h"
#include "lib/Win1251.h"

MachiningSettings& machiningSettings() {
    static MachiningSettings settings;
    return settings;
}

const std::string& AppCaption() {
    static const std::string caption = cp("VEzor из текста");
    return caption;
}

std::string ReadSetting(const std::string& key) { return settingsStore().read(key); }

void WriteSetting(const std::string& key, const std::string& value) {
    settingsStore().write(key, value);
}

namespace {

std::optional<double> readNumber(const std::string& text) {
    return numtext::parseLocaleNumber(text, numtext::decimalSeparator());
}

// A 16-bit flag: a number rounded half to even that fits the range.
std::optional<int> readFlag(const std::string& text) {
    auto value = readNumber(text);
    if (!value) return std::nullopt;
    const double whole = numtext::roundToWholeHalfEven(*value);
    if (whole < -32768 || whole > 32767) return std::nullopt;
    return static_cast<int>(whole);
}

// The feed goes into every pen-down line of the program as it stands, so a
// stored text with a line break or another control character would write
// extra G-code lines; such a text counts as missing.
bool usableFeed(const std::string& feed) {
    if (feed.empty()) return false;
    for (char c : feed)
        if (static_cast<unsigned char>(c) < 32 || c == 127) return false;
    return true;
}

// Shows the notice, writes the default back; returns the default text.
void restoreDefault(const char* key, const char* firstLine, const char* secondLine,
                    const char* defaultText) {
    dialogs().message(cp(firstLine) + "\r\n" + cp(secondLine), "VEzor");
    WriteSetting(key, defaultText);
}

}  // namespace

void LoadSettings() {
    MachiningSettings& s = machiningSettings();

    if (auto v = readNumber(ReadSetting("ZBezop"))) {
        s.ZBezop = *v;
    } else {
        restoreDefault("ZBezop", "Не задана Z при переходе между знаками", "По умолчанию Z=5мм",
                       "5");
        s.ZBezop = 5.0;
    }

    if (auto v = readNumber(ReadSetting("ZBezopS"))) {
        s.ZBezopS = *v;
    } else {
        restoreDefault("ZBezopS", "Не задана Z при переходе между строками", "По умолчанию Z=15мм",
                       "15");
        s.ZBezopS = 15.0;
    }

    if (std::string feed = ReadSetting("SkorF"); usableFeed(feed)) {
        s.SkorF = feed;
    } else {
        restoreDefault("SkorF", "Линейная скорость перемещения не задана(F).",
                       "По умолчанию F=500.00", "500.00");
        s.SkorF = "500.00";
    }

    if (auto v = readFlag(ReadSetting("NoRazriv"))) {
        s.NoRazriv = *v;
    } else {
        restoreDefault("NoRazriv", "Параметр наличия разрыва строки не задан.",
                       "По умолчанию делаются разрывы между словами и знаками препинания в строке",
                       "0");
        s.NoRazriv = 0;
    }
}
