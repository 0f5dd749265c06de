#pragma once

#include <map>
#include <string>
#include <vector>

#include "gcode/GCodeProfile.h"

// An output profile as the parameters dialog shows and edits it: every value
// as the text of its control, read back with a message that names the field by
// the dialog's own label.

enum class ProfileFieldKind {
    Text,      // one line as typed
    Height,    // a number of millimetres within ±1000
    Positive,  // a number above 0
    Amount,    // a number, 0 or more
    Passes,    // a whole number from 1 to 100
    Flag,      // "0" or "1"
    OneLine,   // a program part that must stay one line
    Lines,     // a program part of one or more lines
};

// The dialog groups its controls by what they concern.
enum class ProfileFieldGroup { File, Tool, Machine, Rotary, Parts };

struct ProfileField {
    const char* key;    // the stored key; the control is named "txt_" + key
    const char* label;  // UTF-8
    ProfileFieldGroup group;
    ProfileFieldKind kind;
};

// In the order of the dialog's tab chain.
const std::vector<ProfileField>& ProfileFields();

// Key to text (Windows-1251); numbers with the given decimal separator, parts
// with real line breaks.
using ProfileValues = std::map<std::string, std::string>;

ProfileValues ValuesOfProfile(const GCodeProfile& profile, char decimalSeparator);

// A value the user typed that cannot be used; `key` names the field.
class ProfileValueError : public ProfileError {
  public:
    ProfileValueError(const std::string& message, std::string key)
        : ProfileError(message), key(std::move(key)) {}
    std::string key;
};

// The base profile with the values read over it (what the dialog does not show
// stays the base's), checked as a whole. Numbers may carry "," or ".". Throws
// ProfileValueError.
GCodeProfile ProfileWithValues(const GCodeProfile& base, const ProfileValues& values);

// The name a copy may take: trimmed, one line, and not yet used by any profile
// (either case). Throws ProfileValueError (key "name").
std::string NewProfileName(const std::string& typed, const std::vector<GCodeProfile>& existing);

bool IsShippedProfile(const std::string& name);
