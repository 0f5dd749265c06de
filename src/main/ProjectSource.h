#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "lib/EventPump.h"
#include "lib/VezorError.h"
#include "main/ProjectModel.h"

// A project file as the user edits it in the main window: every line as
// written, so that saving keeps the parameters' comments, the tags, the comment
// lines and the spacing, in the encoding the file came in.

enum class ProjectEncoding { Windows1251, Utf8, Utf8WithMark };

struct ProjectSource {
    std::vector<std::string> lines;  // UTF-8; lines 1 to 4 are the parameters
    ProjectEncoding encoding = ProjectEncoding::Windows1251;
    bool operator==(const ProjectSource&) const = default;
};

// A line (1-based, in the file) holds characters a Windows-1251 project cannot hold.
class ProjectEncodingError : public VezorError {
  public:
    explicit ProjectEncodingError(std::size_t line);
};

// The file's bytes as lines; UTF-8 is recognised as the project reader does.
ProjectSource DecodeProjectSource(std::string_view bytes);
// The lines in the file's encoding, each ended by CR LF. Throws ProjectEncodingError.
std::string EncodeProjectSource(const ProjectSource& source);
// Writes safely (the earlier file stays whole on failure).
// Throws ProjectEncodingError or FileWriteError, writing nothing.
void WriteProjectSource(const std::string& path, const ProjectSource& source);

// The value text of parameter line `index` (0 to 3): the text before its first "//".
std::string ParameterValue(const ProjectSource& source, std::size_t index);
// Replaces that value text and keeps the line's comment; a "//" in the value
// would cut it short, so the value ends before one.
void SetParameterValue(ProjectSource& source, std::size_t index, std::string_view value);

// The text lines (line 5 on), joined by "\n", and their replacement.
std::string SourceText(const ProjectSource& source);
void SetSourceText(ProjectSource& source, std::string_view text);

// The project the lines describe, as the project reader makes it from a file.
// Throws NotAProjectError.
Project ParseProjectSource(const ProjectSource& source, EventPump& pump);
