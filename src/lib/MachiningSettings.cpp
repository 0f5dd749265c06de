#include "lib/MachiningSettings.h"

#include "lib/Dialogs.h"
#include "lib/NumberText.h"
#include "lib/SettingsStore.h"
#include "lib/Win1251.h"

const std::string& AppCaption() {
    static const std::string caption = cp("VEzor из текста");
    return caption;
}

std::string ReadSetting(const std::string& key) { return settingsStore().read(key); }

void WriteSetting(const std::string& key, const std::string& value) {
    settingsStore().write(key, value);
}

std::optional<double> ReadHeightSetting(const std::string& text) {
    return numtext::parseLocaleNumber(text, numtext::decimalSeparator());
}

// A 16-bit flag: a number rounded half to even that fits the range.
std::optional<int> ReadFlagSetting(const std::string& text) {
    auto value = ReadHeightSetting(text);
    if (!value) return std::nullopt;
    const double whole = numtext::roundToWholeHalfEven(*value);
    if (whole < -32768 || whole > 32767) return std::nullopt;
    return static_cast<int>(whole);
}

// A stored text with a line break would write extra G-code lines.
std::optional<std::string> ReadFeedSetting(const std::string& text) {
    if (text.empty()) return std::nullopt;
    for (char c : text)
        if (static_cast<unsigned char>(c) < 32 || c == 127) return std::nullopt;
    return text;
}

std::optional<std::string> StoredHeightText(const std::string& typed) {
    if (typed.find_first_not_of(" \t") == std::string::npos) return std::string();
    const auto value = numtext::parseLocaleNumber(typed, ',');  // either mark
    // Below the material a "safe" height would drag the tool through it.
    if (!value || *value < 0 || *value > 1000) return std::nullopt;
    // Stored with ".", which every locale's reading takes.
    return numtext::shortest(*value + 0.0, '.');
}

std::string HeightText(double millimetres) {
    return numtext::shortest(millimetres, numtext::decimalSeparator());
}

namespace {

template <typename T, typename Reader>
void readOne(const char* key, Reader reader, T& target, T fallback, const char* firstLine,
             const char* secondLine, const char* defaultText, std::vector<SettingFault>& faults,
             bool faultWhenMissing = true) {
    const std::string text = ReadSetting(key);
    if (auto v = reader(text)) {
        target = static_cast<T>(*v);
        return;
    }
    target = fallback;
    if (text.empty() && !faultWhenMissing) return;
    faults.push_back(
        SettingFault{key, cp(firstLine) + "\r\n" + cp(secondLine), defaultText, !text.empty()});
}

}  // namespace

MachiningSettings ReadStoredSettings(std::vector<SettingFault>& faults) {
    MachiningSettings s;
    readOne("ZBezop", ReadHeightSetting, s.ZBezop, 5.0, "Не задана Z при переходе между знаками",
            "По умолчанию Z=5мм", "5", faults);
    readOne("ZBezopS", ReadHeightSetting, s.ZBezopS, 15.0,
            "Не задана Z при переходе между строками", "По умолчанию Z=15мм", "15", faults);
    readOne("SkorF", ReadFeedSetting, s.SkorF, std::string("500.00"),
            "Линейная скорость перемещения не задана(F).", "По умолчанию F=500.00", "500.00",
            faults);
    readOne("NoRazriv", ReadFlagSetting, s.NoRazriv, 0, "Параметр наличия разрыва строки не задан.",
            "По умолчанию делаются разрывы между словами и знаками препинания в строке", "0",
            faults);
    int breaks = 0;
    readOne("RazrivVBukve", ReadFlagSetting, breaks, 0, "Параметр разрыва внутри буквы не задан.",
            "По умолчанию буква пишется одним штрихом, без подъёма пера", "0", faults, false);
    if (!ReadSetting("RazrivVBukve").empty()) s.RazrivVBukve = breaks;
    return s;
}

namespace {

// A first start lacks every setting: one box that says what was set, not a
// box per setting before the window shows.
std::string settingsNotice(const std::vector<SettingFault>& faults) {
    if (faults.size() == 1) return faults.front().notice;
    std::string text = cp("Настройки не были заданы, записаны значения по умолчанию:");
    for (const SettingFault& f : faults) text += "\r\n\r\n" + f.notice;
    return text;
}

}  // namespace

MachiningSettings LoadSettings() {
    std::vector<SettingFault> faults;
    MachiningSettings settings = ReadStoredSettings(faults);
    if (faults.empty()) return settings;
    dialogs().message(settingsNotice(faults), "VEzor");
    for (const SettingFault& f : faults) WriteSetting(f.key, f.defaultText);
    return settings;
}
