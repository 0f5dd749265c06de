#pragma once

#include <string>
#include <string_view>
#include <vector>

// Whole-file reading and safe writing. Paths are UTF-8.
namespace textfile {

// The file's bytes; throws FileReadError (message names the file) when it cannot be read.
// Only a regular file is read: a folder, a named pipe or a device cannot be.
std::string readBytes(const std::string& path);

// Splits text into lines ending at CR LF, CR or LF. A final line without an
// end is kept; text that ends with a line end yields no extra empty line.
std::vector<std::string> splitLines(std::string_view text);

// Lines joined, each followed by CR LF.
std::string joinCrLf(const std::vector<std::string>& lines);

// Writes the bytes to a temporary file in the target's folder and renames it
// over the target, so a failure leaves an earlier file whole and no temporary
// file behind. Throws FileWriteError with the user's message.
void writeAtomically(const std::string& path, std::string_view bytes);

// True when a regular file exists at the path.
bool isFile(const std::string& path);
bool isDirectory(const std::string& path);

}  // namespace textfile
