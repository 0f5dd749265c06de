#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A scratch folder for the fuzz run (made once), used as the program folder.
const std::string& fuzzFolder();

// Writes the bytes to a file in the scratch folder and returns its path.
std::string writeFuzzFile(const std::string& name, const std::uint8_t* data, std::size_t size);
