#include "gcode/GCodeProfile.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

#include "lib/NumberText.h"
#include "lib/SettingsStore.h"
#include "lib/Win1251.h"

namespace {

GCodeProfile vezor() {
    GCodeProfile p;
    p.name = "VEzor";
    p.extension = ".gcode";
    p.start = "T1M6\nG0Z5.00\nG0X0.00Y0.00S15000F{F}M3";
    p.rapid = "G0X{X}Y{Y}";
    p.firstDown = "G0Z{Z}";
    p.penDown = "G1Z{Z}F{F}";
    p.line = "G1X{X}Y{Y}";
    p.penUp = "G0Z{LIFT}";
    p.end = "G0Z5.00\nG0X0.00Y0.00\nM30\n\n\n";
    p.crlf = true;
    p.listForm = true;
    p.plungeFeed = 500;
    return p;
}

// GRBL takes neither a tool change nor more than one G-code of a modal group
// per line; the plunge feed is modal, so the line moves carry their own.
GCodeProfile grbl() {
    GCodeProfile p;
    p.name = "GRBL";
    p.extension = ".nc";
    p.start = "{UNITS}G90G17\nG0Z{SAFE}\nM3S{S}";
    p.rapid = "G0X{X}Y{Y}";
    p.penDown = "G1Z{Z}F{P}";
    p.line = "G1X{X}Y{Y}F{F}";
    p.penUp = "G0Z{LIFT}";
    p.end = "G0Z{SAFE}\nM5\nM30";
    p.comments = true;
    p.spindle = 10000;
    p.rotaryAxis = "Y";  // GRBL has three axes: a rotary axis hangs on the Y output
    return p;
}

GCodeProfile linuxCnc() {
    GCodeProfile p;
    p.name = "LinuxCNC";
    p.extension = ".ngc";
    p.start = "{UNITS} G90 G17 G64 P0.01\nT1 M6\nG0 Z{SAFE}\nS{S} M3";
    p.rapid = "G0 X{X} Y{Y}";
    p.penDown = "G1 Z{Z} F{P}";
    p.line = "G1 X{X} Y{Y} F{F}";
    p.penUp = "G0 Z{LIFT}";
    p.end = "G0 Z{SAFE}\nM5\nM2";
    p.comments = true;
    return p;
}

GCodeProfile mach3() {
    GCodeProfile p = linuxCnc();
    p.name = "Mach3";
    p.extension = ".tap";
    p.start = "{UNITS} G90 G17\nT1 M6\nG0 Z{SAFE}\nS{S} M3";
    p.end = "G0 Z{SAFE}\nM5\nM30";
    return p;
}

// A hobby plotter's servo hangs on the spindle output: its S value is the
// pen's position, and it needs a moment to get there.
GCodeProfile servoPen() {
    GCodeProfile p;
    p.name = "Servo pen";
    p.extension = ".gcode";
    p.start = "{UNITS}G90G17\nM3S{U}\nG4P{D}";
    p.rapid = "G0X{X}Y{Y}";
    p.penDown = "M3S{S}\nG4P{D}";
    p.line = "G1X{X}Y{Y}F{F}";
    p.penUp = "M3S{U}\nG4P{D}";
    p.end = "G0X0Y0\nM5\nM30";
    p.comments = true;
    p.spindle = 30;
    p.servoUp = 50;
    p.dwell = 0.2;
    p.rotaryAxis = "Y";
    return p;
}

// M4 scales the power with the speed, and S0 keeps the beam off on travel.
GCodeProfile laser() {
    GCodeProfile p;
    p.name = "Laser";
    p.extension = ".nc";
    p.start = "{UNITS}G90G17\nM4S0";
    p.rapid = "G0X{X}Y{Y}";
    p.penDown = "S{S}";
    p.line = "G1X{X}Y{Y}F{F}";
    p.penUp = "S0";
    p.end = "M5\nM30";
    p.comments = true;
    p.spindle = 1000;
    p.rotaryAxis = "Y";
    return p;
}

std::string message(const std::string& profileName, const std::string& what) {
    return cp("Профиль «") + profileName + cp("»: ") + what;
}

[[noreturn]] void fail(const std::string& profileName, const std::string& what) {
    throw ProfileError(message(profileName, what));
}

bool hasControl(const std::string& text, bool lineBreaksAllowed) {
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 32 && !(lineBreaksAllowed && c == '\n')) || u == 127) return true;
    }
    return false;
}

const char* const kPlaceholders[] = {"{X}", "{Y}", "{Z}", "{LIFT}", "{SAFE}", "{F}",
                                     "{P}", "{S}", "{U}", "{D}",    "{UNITS}"};

bool knownPlaceholders(const std::string& text) {
    for (std::size_t open = text.find('{'); open != std::string::npos;
         open = text.find('{', open + 1)) {
        bool known = false;
        for (const char* name : kPlaceholders)
            known = known || text.compare(open, std::string_view(name).size(), name) == 0;
        if (!known) return false;
    }
    return true;
}

// The fields as text, for storing and editing; one table so that both ways agree.
struct Field {
    const char* key;
    std::function<std::string(const GCodeProfile&)> get;
    std::function<void(GCodeProfile&, const std::string&)> set;  // throws std::string
};

std::string numberText(double v) { return numtext::shortest(v, '.'); }

double parseNumber(const std::string& text) {
    const auto v = numtext::parseLocaleNumber(text, '.');
    if (!v || !std::isfinite(*v)) throw cp("«") + text + cp("» не число");
    return *v;
}

std::vector<Field> fields() {
    std::vector<Field> f;
    const auto text = [&](const char* key, std::string GCodeProfile::*member) {
        f.push_back({key, [member](const GCodeProfile& p) { return p.*member; },
                     [member](GCodeProfile& p, const std::string& v) { p.*member = v; }});
    };
    const auto flag = [&](const char* key, bool GCodeProfile::*member) {
        f.push_back({key,
                     [member](const GCodeProfile& p) { return std::string(p.*member ? "1" : "0"); },
                     [member](GCodeProfile& p, const std::string& v) {
                         if (v != "0" && v != "1") throw cp("«") + v + cp("» не 0 и не 1");
                         p.*member = v == "1";
                     }});
    };
    const auto number = [&](const char* key, double GCodeProfile::*member) {
        f.push_back(
            {key, [member](const GCodeProfile& p) { return numberText(p.*member); },
             [member](GCodeProfile& p, const std::string& v) { p.*member = parseNumber(v); }});
    };
    const auto axis = [&](const char* key, std::array<double, 3> GCodeProfile::*member, int i) {
        f.push_back({key, [member, i](const GCodeProfile& p) { return numberText((p.*member)[i]); },
                     [member, i](GCodeProfile& p, const std::string& v) {
                         (p.*member)[i] = parseNumber(v);
                     }});
    };
    text("name", &GCodeProfile::name);
    text("extension", &GCodeProfile::extension);
    text("start", &GCodeProfile::start);
    text("rapid", &GCodeProfile::rapid);
    text("first_down", &GCodeProfile::firstDown);
    text("pen_down", &GCodeProfile::penDown);
    text("line", &GCodeProfile::line);
    text("pen_up", &GCodeProfile::penUp);
    text("end", &GCodeProfile::end);
    flag("crlf", &GCodeProfile::crlf);
    flag("list_form", &GCodeProfile::listForm);
    flag("comments", &GCodeProfile::comments);
    flag("inches", &GCodeProfile::inches);
    number("depth", &GCodeProfile::depth);
    f.push_back({"passes", [](const GCodeProfile& p) { return std::to_string(p.passes); },
                 [](GCodeProfile& p, const std::string& v) {
                     const double n = parseNumber(v);
                     if (n != std::floor(n) || n < 1 || n > 100)
                         throw cp("число проходов должно быть целым от 1 до 100");
                     p.passes = static_cast<int>(n);
                 }});
    number("depth_step", &GCodeProfile::depthStep);
    number("plunge_feed", &GCodeProfile::plungeFeed);
    number("spindle", &GCodeProfile::spindle);
    number("servo_up", &GCodeProfile::servoUp);
    number("dwell", &GCodeProfile::dwell);
    number("safe_z", &GCodeProfile::safeZ);
    number("line_width", &GCodeProfile::lineWidth);
    number("rotary_diameter", &GCodeProfile::rotaryDiameter);
    text("rotary_axis", &GCodeProfile::rotaryAxis);
    axis("rate_x", &GCodeProfile::maxRate, 0);
    axis("rate_y", &GCodeProfile::maxRate, 1);
    axis("rate_z", &GCodeProfile::maxRate, 2);
    axis("accel_x", &GCodeProfile::accel, 0);
    axis("accel_y", &GCodeProfile::accel, 1);
    axis("accel_z", &GCodeProfile::accel, 2);
    number("junction_deviation", &GCodeProfile::junctionDeviation);
    return f;
}

bool isPartKey(const std::string& key) {
    return key == "start" || key == "rapid" || key == "first_down" || key == "pen_down" ||
           key == "line" || key == "pen_up" || key == "end";
}

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

bool isShippedName(const std::string& name) {
    for (const GCodeProfile& p : ShippedProfiles())
        if (sameName(p.name, name)) return true;
    return false;
}

// Every user profile sits in one setting, one profile text after another,
// separated by an empty line.
constexpr const char* kStoredProfiles = "Profili";
constexpr const char* kChosenProfile = "Profil";

std::vector<std::string> storedTexts() {
    std::vector<std::string> texts;
    const std::string all = settingsStore().read(kStoredProfiles);
    std::size_t start = 0;
    while (start < all.size()) {
        std::size_t end = all.find("\n\n", start);
        if (end == std::string::npos) end = all.size();
        if (end > start) texts.push_back(all.substr(start, end - start));
        start = end + 2;
    }
    return texts;
}

void storeTexts(const std::vector<std::string>& texts) {
    std::string all;
    for (const std::string& t : texts) all += (all.empty() ? "" : "\n\n") + t;
    settingsStore().write(kStoredProfiles, all);
}

}  // namespace

std::string escapeBreaks(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '\n' ? std::string("\\n") : std::string(1, c);
    return out;
}

std::string unescapeBreaks(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            out += '\n';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

const std::vector<GCodeProfile>& ShippedProfiles() {
    static const std::vector<GCodeProfile> profiles{vezor(), grbl(),     linuxCnc(),
                                                    mach3(), servoPen(), laser()};
    return profiles;
}

const GCodeProfile& DefaultProfile() { return ShippedProfiles().front(); }

std::string ProfileToText(const GCodeProfile& profile) {
    std::string text;
    for (const Field& f : fields()) {
        if (!text.empty()) text += '\n';
        text += std::string(f.key) + "=" + escapeBreaks(f.get(profile));
    }
    return text;
}

GCodeProfile ProfileFromText(const std::string& text) {
    GCodeProfile profile;
    profile.name.clear();
    std::string name = cp("без имени");
    const auto all = fields();
    std::size_t start = 0;
    std::vector<std::pair<std::string, std::string>> entries;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        start = end + 1;
        if (line.empty()) continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) fail(name, cp("строка «") + line + cp("» без знака «=»"));
        std::string key = line.substr(0, eq);
        std::string value = line.substr(eq + 1);
        if (key == "name") name = value;
        entries.emplace_back(std::move(key), std::move(value));
    }
    for (const auto& [key, value] : entries) {
        const Field* field = nullptr;
        for (const Field& f : all)
            if (key == f.key) field = &f;
        if (!field) fail(name, cp("неизвестное поле «") + key + cp("»"));
        try {
            field->set(profile, isPartKey(key) ? unescapeBreaks(value) : value);
        } catch (const std::string& what) {
            fail(name, key + ": " + what);
        }
    }
    CheckProfile(profile);
    return profile;
}

void CheckProfile(const GCodeProfile& p) {
    const std::string& n = p.name;
    if (n.empty()) fail(n, cp("имя не задано"));
    if (hasControl(n, false) || n.find(';') != std::string::npos)
        fail(n, cp("имя должно быть одной строкой без «;»"));
    if (p.extension.size() < 2 || p.extension.size() > 8 || p.extension[0] != '.')
        fail(n, cp("расширение файла должно начинаться с точки, например «.nc»"));
    for (std::size_t i = 1; i < p.extension.size(); ++i) {
        const char c = p.extension[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            fail(n, cp("расширение файла: только латинские буквы и цифры после точки"));
    }
    const std::pair<const char*, const std::string*> parts[] = {{"start", &p.start},
                                                                {"end", &p.end},
                                                                {"first_down", &p.firstDown},
                                                                {"pen_down", &p.penDown},
                                                                {"pen_up", &p.penUp}};
    for (const auto& [key, text] : parts) {
        if (hasControl(*text, true))
            fail(n, std::string(key) + cp(": недопустимый управляющий знак"));
        if (!knownPlaceholders(*text))
            fail(n, std::string(key) + cp(": неизвестное имя в фигурных скобках"));
    }
    // A move is one line: a second would be written with no coordinates.
    const std::pair<const char*, const std::string*> moves[] = {{"rapid", &p.rapid},
                                                                {"line", &p.line}};
    for (const auto& [key, text] : moves) {
        if (hasControl(*text, false))
            fail(n, std::string(key) + cp(": должна быть одна строка без управляющих знаков"));
        if (!knownPlaceholders(*text))
            fail(n, std::string(key) + cp(": неизвестное имя в фигурных скобках"));
        if (text->find("{X}") == std::string::npos || text->find("{Y}") == std::string::npos)
            fail(n, std::string(key) + cp(": нужны {X} и {Y}"));
    }
    if (p.inches && p.start.find("{UNITS}") == std::string::npos)
        fail(n, cp("вывод в дюймах: в начале программы нужен {UNITS} (G20)"));
    const auto positive = [&](const char* key, double v) {
        if (!(v > 0) || !std::isfinite(v))
            fail(n, std::string(key) + cp(": должно быть положительным числом"));
    };
    const auto notNegative = [&](const char* key, double v) {
        if (!(v >= 0) || !std::isfinite(v))
            fail(n, std::string(key) + cp(": не может быть отрицательным"));
    };
    positive("plunge_feed", p.plungeFeed);
    for (int i = 0; i < 3; ++i) {
        positive("rate", p.maxRate[static_cast<std::size_t>(i)]);
        positive("accel", p.accel[static_cast<std::size_t>(i)]);
    }
    positive("junction_deviation", p.junctionDeviation);
    notNegative("depth_step", p.depthStep);
    notNegative("spindle", p.spindle);
    notNegative("servo_up", p.servoUp);
    notNegative("dwell", p.dwell);
    positive("line_width", p.lineWidth);
    if (p.lineWidth > 100) fail(n, cp("line_width: не больше 100 мм"));
    notNegative("rotary_diameter", p.rotaryDiameter);
    if (p.rotaryAxis != "A" && p.rotaryAxis != "B" && p.rotaryAxis != "C" && p.rotaryAxis != "Y")
        fail(n, cp("rotary_axis: буква оси A, B, C или Y"));
    if (p.passes < 1 || p.passes > 100) fail(n, cp("число проходов должно быть целым от 1 до 100"));
    for (double v : {p.depth, p.safeZ})
        if (!std::isfinite(v) || std::fabs(v) > 1000) fail(n, cp("высота вне диапазона ±1000 мм"));
}

std::vector<GCodeProfile> AvailableProfiles(std::vector<std::string>* messages) {
    std::vector<GCodeProfile> profiles = ShippedProfiles();
    for (const std::string& text : storedTexts()) {
        try {
            profiles.push_back(ProfileFromText(text));
        } catch (const ProfileError& e) {
            if (messages) messages->push_back(e.message() + cp(" (сохранённый профиль пропущен)"));
        }
    }
    return profiles;
}

GCodeProfile FindProfile(const std::string& name, bool* found) {
    for (const GCodeProfile& p : AvailableProfiles()) {
        if (sameName(p.name, name)) {
            if (found) *found = true;
            return p;
        }
    }
    if (found) *found = false;
    return DefaultProfile();
}

void StoreUserProfile(const GCodeProfile& profile) {
    CheckProfile(profile);
    if (isShippedName(profile.name))
        fail(profile.name, cp("это имя у поставляемого профиля, выберите другое"));
    std::vector<std::string> kept;
    for (const std::string& text : storedTexts()) {
        try {
            if (sameName(ProfileFromText(text).name, profile.name)) continue;
        } catch (const ProfileError&) {
        }
        kept.push_back(text);
    }
    kept.push_back(ProfileToText(profile));
    storeTexts(kept);
}

void RemoveUserProfile(const std::string& name) {
    std::vector<std::string> kept;
    for (const std::string& text : storedTexts()) {
        try {
            if (sameName(ProfileFromText(text).name, name)) continue;
        } catch (const ProfileError&) {
        }
        kept.push_back(text);
    }
    storeTexts(kept);
}

GCodeProfile ChosenProfile(std::vector<std::string>* messages) {
    const std::string name = settingsStore().read(kChosenProfile);
    if (name.empty()) return DefaultProfile();
    std::vector<std::string> problems;
    for (const GCodeProfile& p : AvailableProfiles(&problems))
        if (sameName(p.name, name)) return p;
    if (messages) {
        messages->insert(messages->end(), problems.begin(), problems.end());
        messages->push_back(cp("Профиль «") + name +
                            cp("» не найден или не читается: используется профиль VEzor"));
    }
    return DefaultProfile();
}

void ChooseProfile(const std::string& name) { settingsStore().write(kChosenProfile, name); }

double PassDepth(const GCodeProfile& profile, int pass) {
    if (pass + 1 >= profile.passes || profile.depthStep <= 0) return profile.depth;
    return std::max(profile.depth, -(pass + 1) * profile.depthStep);
}

int BreaksInLettersByDefault(const GCodeProfile& profile) {
    return profile.name == DefaultProfile().name ? 0 : 1;
}

MachiningSettings SettingsForProfile(MachiningSettings settings, const GCodeProfile& profile) {
    if (!settings.RazrivVBukve) settings.RazrivVBukve = BreaksInLettersByDefault(profile);
    return settings;
}
