#include "CliSettings.h"

#include <cstdio>
#include <vector>

#include "Options.h"
#include "lib/Win1251.h"

MachiningSettings StoredSettingsQuietly() {
    std::vector<SettingFault> faults;
    const MachiningSettings s = ReadStoredSettings(faults);
    for (const SettingFault& f : faults) {
        if (!f.stored) continue;
        // One line on the terminal: the two lines of the notice joined by a space.
        std::string notice;
        for (char c : win1251::toUtf8(f.notice))
            if (c != '\r') notice += c == '\n' ? ' ' : c;
        std::fprintf(stderr, "vezor-gcode: %s: %s\n", f.key.c_str(), notice.c_str());
    }
    return s;
}

void ApplySettingOverride(MachiningSettings& settings, const std::string& key,
                          const std::string& value) {
    const auto bad = [&] { return OptionsError("--setting " + key + ": not a number: " + value); };
    if (key == "ZBezop" || key == "ZBezopS") {
        const auto v = ReadHeightSetting(value);
        if (!v) throw bad();
        (key == "ZBezop" ? settings.ZBezop : settings.ZBezopS) = *v;
    } else if (key == "SkorF") {
        if (value.empty()) throw OptionsError("--setting SkorF: empty feed");
        const auto feed = ReadFeedSetting(win1251::fromUtf8(value));
        if (!feed)
            throw OptionsError(
                "--setting SkorF: подача с переводом строки или другим "
                "управляющим знаком");
        settings.SkorF = *feed;
    } else if (key == "NoRazriv" || key == "RazrivVBukve") {
        const auto v = ReadFlagSetting(value);
        if (!v) throw bad();
        if (key == "NoRazriv")
            settings.NoRazriv = *v;
        else
            settings.RazrivVBukve = *v;
    } else {
        throw OptionsError("--setting: unknown key " + key +
                           " (ZBezop, ZBezopS, SkorF, NoRazriv or RazrivVBukve)");
    }
}
