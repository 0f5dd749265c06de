#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "lib/EventPump.h"
#include "lib/VezorError.h"
#include "main/ProjectModel.h"

// Project files: four parameter lines ("value//comment") followed by text lines
// that may carry position tags "<@name=value>".

// The file is no project: too short, a parameter line without "//", all four
// parameters 0, or it cannot be read at all. The message is the user's text:
// "Файл не является проектом" and, on a second line, why (when known).
class NotAProjectError : public VezorError {
  public:
    explicit NotAProjectError(const std::string& reason = {});
};

// The eight lines the new-project command writes (Windows-1251, no line ends).
const std::vector<std::string>& ProjectTemplateLines();

// Writes the template, CR LF ended, replacing any file of that name.
// Throws FileWriteError.
void WriteProjectTemplate(const std::string& path);

// A project file's bytes as Windows-1251 text: UTF-8 (a byte order mark, or
// valid UTF-8 with at least one multi-byte sequence) is converted, a character
// Windows-1251 lacks becoming win1251::kForeign; anything else is taken as it is.
std::string DecodeProjectBytes(std::string_view bytes);

// Where a text line's comment starts: its first "//", except inside a code tag
// ("<@QR=" or "<@DM=" up to its ">"), whose text is often an address with
// "//" in it. npos when the line has no comment.
std::size_t CommentStart(std::string_view line);

// Takes every complete "<@...>" tag out of text, left to right, appending its
// position, name and value to the last entry of lines and storing the cleaned
// text there. A "<@" without a ">" after it stays in the text with the rest of
// the line. Position: the 1-based index at which "<@" stood once the earlier
// tags were gone.
void ExtractLineTags(Collection<ProjectLine>& lines, std::string& text);

// Parses a whole project text (bytes as read from the file). The result has
// at least one, possibly empty, text line; ProjectPath is left empty.
// pump.tick() runs after every kept text line. Throws NotAProjectError.
Project ParseProject(std::string_view bytes, EventPump& pump);
// The same for text already in Windows-1251. `foreign`, when given, holds the
// characters its win1251::kForeign bytes stand for, in order (as
// win1251::fromUtf8Marked lists them): each line keeps its own in Foreign.
Project ParseProjectText(std::string_view text, EventPump& pump,
                         const std::vector<char32_t>* foreign = nullptr);

// Reads and parses the file; ProjectPath of the result is path. A path that
// cannot be read (missing, a folder, no access) counts as no project.
Project ReadProjectFile(const std::string& path, EventPump& pump);

// A project file held as its text, its lines made one at a time each time
// they are gone through: a large project laid out with only its text in
// memory, not its lines.
class ProjectStream {
  public:
    // The file's bytes, decoded as ReadProjectFile decodes them; path becomes
    // the parameters' ProjectPath. Throws NotAProjectError.
    explicit ProjectStream(std::string bytes, const std::string& path = {});
    // The path and the four parameters; no lines.
    const Project& parameters() const { return parameters_; }
    // The lines ReadProjectFile would hold, in order (the same object refilled).
    void forEachLine(const std::function<void(const ProjectLine&)>& take) const;
    // The lines' text holds the word somewhere (comments included): false
    // tells that no line can carry a tag of that name.
    bool mentions(std::string_view word) const {
        return text_.find(word, std::min(from_, text_.size())) != std::string::npos;
    }

  private:
    Project parameters_;
    std::string text_;  // Windows-1251
    std::vector<char32_t> foreign_;
    std::size_t from_ = 0;  // where the text lines start
};

// Reads the file as ReadProjectFile does. Throws NotAProjectError.
ProjectStream ReadProjectStream(const std::string& path);

// The text the main window shows: every line's Text followed by CR LF.
std::string ProjectDisplayText(const Project& project);
