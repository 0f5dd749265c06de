#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "gcode/PenPointSink.h"
#include "gcode/PenPoints.h"
#include "lib/MachiningSettings.h"
#include "main/ProjectModel.h"

class ProjectStream;

// Text layout: a project's lines become the tool path, letter by letter, with
// pen lifts between words, around digits and punctuation, at position tags and
// at line ends.

// How a character is laid out (by its Windows-1251 code).
enum class CharClass { Space, Separated, Letter };
CharClass ClassOf(unsigned char code);

// A character Windows-1251 lacks whose text did not say which it was.
constexpr char32_t kUnknownCharacter = 0xFFFD;

// How the messages name a character (Windows-1251): the character itself, or
// «U+03A9» for one Windows-1251 lacks (in words when it is not known).
std::string LetterName(char32_t character);

// The form of a message's text. Windows-1251 cannot hold a character outside
// it, so there such a character is named by its code alone («'U+03A9'»); in
// UTF-8 (the terminal, the windows) it is shown with its code («'Ω' (U+03A9)»).
enum class TextForm { Win1251, Utf8 };

// The message for a letter that has no readable letter file (Windows-1251).
std::string MissingLetterMessage(unsigned char code);
std::string MissingCharacterMessage(char32_t character, TextForm form = TextForm::Win1251);
// One message for all of them (one character per occurrence, in text order):
// how many were missing and which letters, each named once.
std::string MissingLettersSummary(const std::vector<char32_t>& characters,
                                  TextForm form = TextForm::Win1251);
// One line per missing letter, in the order of their first occurrence, with
// how often the text asks for it: «Буква 'Ж' не найдена: 3 раза».
std::vector<std::string> MissingLetterCounts(const std::vector<char32_t>& characters,
                                             TextForm form = TextForm::Win1251);

struct LayoutResult {
    std::shared_ptr<PenPoints> points;  // record 1 is the placeholder
    ViewBounds bounds;
    // One message per occurrence of a character whose letter file is missing
    // or malformed, in text order (Windows-1251).
    std::vector<std::string> messages;
    std::vector<unsigned char> missingLetters;  // the code of each message
    // The character of each message as Unicode: a character Windows-1251 lacks
    // is win1251::kForeign among the codes and itself here (or kUnknownCharacter).
    std::vector<char32_t> missingCharacters;
    // The character codes whose letter is missing or malformed.
    std::array<bool, 256> missing{};
    // Things the status bar tells about the placement of lines: an aligned line
    // wider than the field, a placement tag that does not read (Windows-1251).
    std::vector<std::string> notes;
};

// Whether the records get their G-code texts: the G-code list shows them; the
// G-code writer formats the records itself, so a layout that only goes to a
// file can leave them empty and save a fifth of its memory.
enum class MoveTexts { Build, Skip };

// A letter held in memory in place of the font's file for its code: the font
// editor lays its sample out with the letter as it stands, saved or not.
struct LetterInMemory {
    unsigned char code = 0;
    std::vector<std::string> lines;
};

// Lays the project out with the font folder fontPath (relative to the
// program folder, or absolute; empty: no font, every letter is missing) and
// the given settings. Each letter file is read at most once.
LayoutResult LayOutProject(const Project& project, const std::string& fontPath,
                           const MachiningSettings& settings, MoveTexts texts = MoveTexts::Build,
                           const LetterInMemory* replaced = nullptr);

// The same records handed to `sink` one by one as they are made (those after
// the placeholder), with no list kept, and the project's lines made one by one
// from its text as they are laid out: the result has no points, only the
// bounds, messages and notes.
LayoutResult StreamProjectLayout(const ProjectStream& project, const std::string& fontPath,
                                 const MachiningSettings& settings, PenPointSink& sink);
