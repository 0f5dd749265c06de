#include "CliSettings.h"

#include <optional>

#include "Options.h"
#include "lib/NumberText.h"
#include "lib/Win1251.h"

namespace {

std::optional<double> number(const std::string& text) {
    return numtext::parseLocaleNumber(text, numtext::decimalSeparator());
}

std::optional<int> flag(const std::string& text) {
    const auto v = number(text);
    if (!v) return std::nullopt;
    const double whole = numtext::roundToWholeHalfEven(*v);
    if (whole < -32768 || whole > 32767) return std::nullopt;
    return static_cast<int>(whole);
}

}  // namespace

MachiningSettings StoredSettingsQuietly() {
    MachiningSettings s;
    if (auto v = number(ReadSetting("ZBezop"))) s.ZBezop = *v;
    if (auto v = number(ReadSetting("ZBezopS"))) s.ZBezopS = *v;
    if (std::string feed = ReadSetting("SkorF"); !feed.empty()) s.SkorF = feed;
    if (auto v = flag(ReadSetting("NoRazriv"))) s.NoRazriv = *v;
    return s;
}

void ApplySettingOverride(MachiningSettings& settings, const std::string& key,
                          const std::string& value) {
    const auto bad = [&] { return OptionsError("--setting " + key + ": not a number: " + value); };
    if (key == "ZBezop" || key == "ZBezopS") {
        const auto v = number(value);
        if (!v) throw bad();
        (key == "ZBezop" ? settings.ZBezop : settings.ZBezopS) = *v;
    } else if (key == "SkorF") {
        if (value.empty()) throw OptionsError("--setting SkorF: empty feed");
        settings.SkorF = win1251::fromUtf8(value);
    } else if (key == "NoRazriv") {
        const auto v = flag(value);
        if (!v) throw bad();
        settings.NoRazriv = *v;
    } else {
        throw OptionsError("--setting: unknown key " + key +
                           " (ZBezop, ZBezopS, SkorF or NoRazriv)");
    }
}
