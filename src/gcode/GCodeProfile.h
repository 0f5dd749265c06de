#pragma once

#include <array>
#include <string>
#include <vector>

#include "lib/MachiningSettings.h"
#include "lib/VezorError.h"

// What a G-code program looks like for one kind of machine: the texts of its
// named parts and the values they use.
//
// A part is a template of one or more lines (separated by "\n"); these names in
// braces are replaced when it is written:
//   {X} {Y}    the record's coordinates        {Z}     the pass's engraving depth
//   {LIFT}     the lift record's height        {SAFE}  the safe height of start and end
//   {F}        the feed setting                {P}     the plunge feed
//   {S}        spindle speed, laser power or the pen-down value of a servo
//   {U}        the pen-up value of a servo     {D}     the dwell after a servo move, s
//   {UNITS}    G21, or G20 for inch output
struct GCodeProfile {
    std::string name;
    std::string extension;  // the file extension the save proposes, with its dot

    // The parts, in the order a program uses them.
    std::string start;      // program start
    std::string rapid;      // rapid move to the next record
    std::string firstDown;  // the pen down of a pass; empty: the pen-down part
    std::string penDown;    // pen down after a lift
    std::string line;       // line move to a drawing point
    std::string penUp;      // a lift record
    std::string end;        // program end

    bool crlf = false;  // lines end in CR LF rather than LF
    // The form the list's own program has always had: the pen goes down again
    // after the text's final lift, and a record that is neither a drawing point
    // nor a plain lift (read from a file) is written by its list text.
    bool listForm = false;
    // Machining figures as comments at the top; the VEzor program has none,
    // so that its own reader reads every program it writes.
    bool comments = false;
    bool inches = false;  // coordinates, heights and feeds in inches

    double depth = 0;         // final engraving depth, mm (negative: into the material)
    int passes = 1;           // the whole text written this many times
    double depthStep = 0;     // each pass this much deeper, mm (see PassDepth)
    double plungeFeed = 100;  // mm/min
    double spindle = 15000;
    double servoUp = 0;
    double dwell = 0;
    double safeZ = 5;
    // The width of the line the tool leaves, mm: the preview draws writing so
    // wide, codes are filled and bold letters spaced by it.
    double lineWidth = 0.3;
    // A rotary axis in place of Y: the work's diameter in mm (0: none). Y is
    // then written as degrees, Y * 360 / (pi * D), after the letter rotaryAxis,
    // and every line move carries the feed that keeps the surface speed.
    double rotaryDiameter = 0;
    std::string rotaryAxis = "A";

    // The machine, for the machining time: per axis X, Y, Z.
    std::array<double, 3> maxRate{500, 500, 500};  // mm/min
    std::array<double, 3> accel{10, 10, 10};       // mm/s^2
    double junctionDeviation = 0.01;               // mm
};

// The engraving depth of a pass (0-based): the passes go down from the surface
// by the depth step and the last one stops at the profile's depth; none goes
// deeper, so with a step that does not divide the depth the last pass is the
// shorter one. A step of 0 (or a depth not below the surface) repeats the depth.
double PassDepth(const GCodeProfile& profile, int pass);

// A profile text that does not read or holds a value that cannot be used; the
// message (Windows-1251) names the profile and the value.
class ProfileError : public VezorError {
  public:
    using VezorError::VezorError;
};

// The profiles that ship with the program; the first, "VEzor", is the default.
const std::vector<GCodeProfile>& ShippedProfiles();
const GCodeProfile& DefaultProfile();

// A part text in the store's one-line form: each line break written as "\n", and back.
std::string escapeBreaks(const std::string& text);
std::string unescapeBreaks(const std::string& text);

// One "key=value" line per field; a part's line breaks are written as "\n".
std::string ProfileToText(const GCodeProfile& profile);
// The reverse; throws ProfileError for an unknown key, a value that is not
// valid, or a text that is not valid for the named profile.
GCodeProfile ProfileFromText(const std::string& text);
// Throws ProfileError when a value cannot be used.
void CheckProfile(const GCodeProfile& profile);

// The shipped profiles and then the user's stored ones. A stored profile that
// no longer reads is left out and its message added to `messages`.
std::vector<GCodeProfile> AvailableProfiles(std::vector<std::string>* messages = nullptr);
// The profile of that name (either case), the default when there is none.
// `found` tells which.
GCodeProfile FindProfile(const std::string& name, bool* found = nullptr);

// Stores a user profile (checked first: an invalid one throws ProfileError and
// is not stored). A shipped profile's name cannot be taken.
void StoreUserProfile(const GCodeProfile& profile);
void RemoveUserProfile(const std::string& name);

// Breaks inside letters (RazrivVBukve) when the setting is not stored: off for
// the VEzor profile, whose program stays as it always was, on for every other.
int BreaksInLettersByDefault(const GCodeProfile& profile);
// The settings with an unset RazrivVBukve filled in for the profile.
MachiningSettings SettingsForProfile(MachiningSettings settings, const GCodeProfile& profile);

// The profile the user chose (setting "Profil"); the default when none is
// chosen, and with a message in `messages` when the chosen one does not read.
GCodeProfile ChosenProfile(std::vector<std::string>* messages = nullptr);
void ChooseProfile(const std::string& name);
