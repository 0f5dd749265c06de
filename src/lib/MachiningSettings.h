#pragma once

#include <optional>
#include <string>
#include <vector>

// The machining settings, named as their keys in the store.
struct MachiningSettings {
    double ZBezop = 5.0;           // safe Z between characters and at tags, mm
    double ZBezopS = 15.0;         // safe Z at line ends, mm
    std::string SkorF = "500.00";  // feed text, written after "F" unchanged
    int NoRazriv = 0;              // 1: no lifts at spaces and punctuation
    // 1: lifts at the break marks inside letters. Not stored: as the output
    // profile has it (off for VEzor, on for the others; see BreaksForProfile),
    // off where no profile is known.
    std::optional<int> RazrivVBukve{};
    // Not kept in the store: the chosen output profile's line width, which
    // spaces the strokes that fill a code and the copies of a bold line (mm),
    // and the command line's --mirror (as if the project had <@MIRROR>).
    double LineWidth = 0.3;
    bool Mirror = false;
};

// The program's caption, "VEzor из текста" (Windows-1251).
const std::string& AppCaption();

// Store accessors: application "VEzor", section "Shrift".
std::string ReadSetting(const std::string& key);
void WriteSetting(const std::string& key, const std::string& value);

// Readers of one setting's text, shared by the store reader and the command
// line: empty when the text is not a usable value.
std::optional<double> ReadHeightSetting(const std::string& text);
std::optional<int> ReadFlagSetting(const std::string& text);
// The feed goes into every pen-down line as it stands: empty or holding a line
// break or another control character, it is refused.
std::optional<std::string> ReadFeedSetting(const std::string& text);

// The store's text for a height as the user typed it, with either decimal mark
// in any locale ("0,5" -> "0.5"; a whole number stays as it was always stored, "5"). Empty
// stays empty, so that the key counts as missing; a text that is no height
// from 0 to 1000 mm gives nothing.
std::optional<std::string> StoredHeightText(const std::string& typed);
// A height as the parameters dialog shows it, with the user's decimal mark.
std::string HeightText(double millimetres);

// A stored setting that could not be used and got its default instead.
struct SettingFault {
    std::string key;
    std::string notice;       // two lines joined by CR LF (Windows-1251)
    std::string defaultText;  // what the window writes back
    bool stored = false;      // the store held a text, but not a usable one
};

// Reads every machining setting from the store; each missing or unusable one
// gets its default and a fault, in key order. Writes nothing. RazrivVBukve came
// later than the others: missing, it is left unset without a fault, so a store
// of the four first settings starts without a notice.
MachiningSettings ReadStoredSettings(std::vector<SettingFault>& faults);

// Reads the settings for the windows. A missing, empty or (for the numbers)
// unreadable value gets its default, written back and used; one message box
// (title "VEzor") tells them all: a lone fault's notice, or every notice below
// one line that says the defaults were stored.
MachiningSettings LoadSettings();
