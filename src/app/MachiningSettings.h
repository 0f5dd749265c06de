#pragma once

#include <string>

// The four machining settings, process-wide, named as their keys in the store.
struct MachiningSettings {
    double ZBezop = 5.0;           // safe Z between characters and at tags, mm
    double ZBezopS = 15.0;         // safe Z at line ends, mm
    std::string SkorF = "500.00";  // feed text, written after "F" unchanged
    int NoRazriv = 0;              // 1: no lifts at spaces and punctuation
};

MachiningSettings& machiningSettings();

// The program's caption, "VEzor из текста" (Windows-1251).
const std::string& AppCaption();

// Store accessors: application "VEzor", section "Shrift".
std::string ReadSetting(const std::string& key);
void WriteSetting(const std::string& key, const std::string& value);

// Reads all four settings into machiningSettings(). A missing, empty or (for
// the numbers) unreadable value gets its notice (title "VEzor"), its default is
// written back and used.
void LoadSettings();
