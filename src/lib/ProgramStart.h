#pragma once

#include <string>
#include <vector>

// What a command-line program takes from the system at its start. One
// implementation per system: posix/ and windows/.
namespace programstart {

// The arguments after the program's name, UTF-8. On Windows they come from the
// wide command line, so that names outside the ANSI code page arrive whole.
std::vector<std::string> arguments(int argc, char** argv);

// The folder of the running executable, UTF-8 with "/" separators;
// argv0 is the fallback where the system cannot say.
std::string executableFolder(const char* argv0);

// Standard output and error take bytes as they are (Windows would put CR
// before every LF), and a console shows UTF-8.
void rawConsole();

}  // namespace programstart
