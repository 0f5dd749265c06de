#include "gcode/ProfileForm.h"

#include <cmath>
#include <optional>

#include "lib/NumberText.h"
#include "lib/Win1251.h"

namespace {

using Kind = ProfileFieldKind;
using Group = ProfileFieldGroup;

bool isNumber(Kind kind) {
    return kind == Kind::Height || kind == Kind::Positive || kind == Kind::Amount ||
           kind == Kind::Passes;
}

bool isPart(Kind kind) { return kind == Kind::OneLine || kind == Kind::Lines; }

// Key and value of every line of a profile's text, in its order.
std::vector<std::pair<std::string, std::string>> textEntries(const GCodeProfile& profile) {
    std::vector<std::pair<std::string, std::string>> entries;
    const std::string text = ProfileToText(profile);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos) entries.emplace_back(line.substr(0, eq), line.substr(eq + 1));
        start = end + 1;
    }
    return entries;
}

const ProfileField* fieldOf(const std::string& key) {
    for (const ProfileField& f : ProfileFields())
        if (key == f.key) return &f;
    return nullptr;
}

bool hasControl(const std::string& text, bool lineBreaksAllowed) {
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 32 && !(lineBreaksAllowed && c == '\n')) || u == 127) return true;
    }
    return false;
}

[[noreturn]] void refuse(const std::string& profileName, const ProfileField& field,
                         const char* what) {
    throw ProfileValueError(
        cp("Профиль «") + profileName + cp("»: ") + cp(field.label) + ": " + cp(what), field.key);
}

// The value as the store writes it; refuses what the field cannot hold.
std::string storedForm(const std::string& profileName, const ProfileField& field,
                       std::string value) {
    if (field.kind == Kind::Lines) {
        // A pasted text may bring CR LF line ends; empty lines at the end are
        // the part's own (the VEzor program ends with three).
        std::string plain;
        for (char c : value)
            if (c != '\r') plain += c;
        if (hasControl(plain, true)) refuse(profileName, field, "недопустимый управляющий знак");
        return escapeBreaks(plain);
    }
    if (field.kind == Kind::OneLine || field.kind == Kind::Text) {
        if (hasControl(value, false))
            refuse(profileName, field, "должно быть одной строкой, без переноса строки");
        return value;
    }
    if (field.kind == Kind::Flag) {
        if (value != "0" && value != "1") refuse(profileName, field, "должно быть 0 или 1");
        return value;
    }
    // Either mark is taken, whatever the user's locale says.
    const std::optional<double> v = numtext::parseLocaleNumber(value, ',');
    const bool finite = v && std::isfinite(*v);
    switch (field.kind) {
        case Kind::Height:
            if (!finite || std::fabs(*v) > 1000)
                refuse(profileName, field, "нужно число от -1000 до 1000 (мм)");
            break;
        case Kind::Positive:
            if (!finite || !(*v > 0)) refuse(profileName, field, "нужно положительное число");
            break;
        case Kind::Amount:
            if (!finite || *v < 0) refuse(profileName, field, "нужно число, не меньше 0");
            break;
        default:  // passes
            if (!finite || *v != std::floor(*v) || *v < 1 || *v > 100)
                refuse(profileName, field, "нужно целое число от 1 до 100");
    }
    return numtext::shortest(*v + 0.0, '.');
}

// The whole-profile check names stored keys; the dialog's user knows the labels.
std::string withLabels(std::string message) {
    for (const ProfileField& f : ProfileFields()) {
        const std::string key = std::string("»: ") + f.key + ":";
        const std::size_t at = message.find(cp(key));
        if (at != std::string::npos)
            message.replace(at, cp(key).size(), cp(std::string("»: ") + f.label + ":"));
    }
    return message;
}

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

const std::vector<ProfileField>& ProfileFields() {
    static const std::vector<ProfileField> fields{
        {"extension", "Расширение файла", Group::File, Kind::Text},
        {"depth", "Глубина гравировки, мм (минус: в материал)", Group::File, Kind::Height},
        {"passes", "Проходов", Group::File, Kind::Passes},
        {"depth_step", "Шаг вглубь за проход, мм", Group::File, Kind::Amount},
        {"plunge_feed", "Подача врезания, мм/мин", Group::File, Kind::Positive},
        {"safe_z", "Высота в начале и в конце, мм", Group::File, Kind::Height},
        {"inches", "Вывод в дюймах (G20)", Group::File, Kind::Flag},
        {"spindle", "Шпиндель, мощность или перо внизу (S)", Group::Tool, Kind::Amount},
        {"servo_up", "Перо вверху (S)", Group::Tool, Kind::Amount},
        {"dwell", "Пауза после движения пера, с", Group::Tool, Kind::Amount},
        {"line_width", "Ширина линии, мм", Group::Tool, Kind::Positive},
        {"rate_x", "Скорость по X", Group::Machine, Kind::Positive},
        {"rate_y", "Скорость по Y", Group::Machine, Kind::Positive},
        {"rate_z", "Скорость по Z", Group::Machine, Kind::Positive},
        {"accel_x", "Ускорение по X", Group::Machine, Kind::Positive},
        {"accel_y", "Ускорение по Y", Group::Machine, Kind::Positive},
        {"accel_z", "Ускорение по Z", Group::Machine, Kind::Positive},
        {"junction_deviation", "Отклонение на углах, мм", Group::Machine, Kind::Positive},
        {"rotary_diameter", "Поворотная ось: диаметр заготовки, мм (0: нет)", Group::Rotary,
         Kind::Amount},
        {"rotary_axis", "Поворотная ось: буква (A, B, C; Y: вместо оси Y)", Group::Rotary,
         Kind::Text},
        {"start", "Начало программы", Group::Parts, Kind::Lines},
        {"rapid", "Холостой ход", Group::Parts, Kind::OneLine},
        {"first_down", "Первое опускание прохода (пусто: как опускание)", Group::Parts,
         Kind::Lines},
        {"pen_down", "Опускание", Group::Parts, Kind::Lines},
        {"line", "Рабочий ход", Group::Parts, Kind::OneLine},
        {"pen_up", "Подъём", Group::Parts, Kind::Lines},
        {"end", "Конец программы", Group::Parts, Kind::Lines},
    };
    return fields;
}

ProfileValues ValuesOfProfile(const GCodeProfile& profile, char decimalSeparator) {
    ProfileValues values;
    for (auto& [key, value] : textEntries(profile)) {
        const ProfileField* field = fieldOf(key);
        if (!field) continue;
        if (isPart(field->kind)) value = unescapeBreaks(value);
        if (isNumber(field->kind))
            for (char& c : value)
                if (c == '.') c = decimalSeparator;
        values[key] = value;
    }
    return values;
}

GCodeProfile ProfileWithValues(const GCodeProfile& base, const ProfileValues& values) {
    std::string text;
    for (auto& [key, value] : textEntries(base)) {
        const ProfileField* field = fieldOf(key);
        const auto typed = values.find(key);
        if (field && typed != values.end()) value = storedForm(base.name, *field, typed->second);
        text += key + "=" + value + "\n";
    }
    try {
        return ProfileFromText(text);
    } catch (const ProfileError& e) {
        throw ProfileValueError(withLabels(e.message()), "");
    }
}

std::string NewProfileName(const std::string& typed, const std::vector<GCodeProfile>& existing) {
    const std::string name = trimmed(typed);
    const auto refuse = [](const std::string& what) { throw ProfileValueError(what, "name"); };
    if (name.empty()) refuse(cp("Введите имя профиля"));
    if (hasControl(name, false) || name.find(';') != std::string::npos)
        refuse(cp("Имя профиля должно быть одной строкой, без «;»"));
    for (const GCodeProfile& p : existing) {
        if (p.name.size() != name.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < name.size() && same; ++i)
            same = win1251::toLower(p.name[i]) == win1251::toLower(name[i]);
        if (same) refuse(cp("Профиль с именем «") + p.name + cp("» уже есть: выберите другое имя"));
    }
    return name;
}

bool IsShippedProfile(const std::string& name) {
    for (const GCodeProfile& p : ShippedProfiles())
        if (p.name == name) return true;
    return false;
}
