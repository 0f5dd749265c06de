#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// A scratch folder for the fuzz run (made once, in memory where the system
// offers it), used as the program folder.
const std::string& fuzzFolder();

// Writes the bytes to a file in the scratch folder and returns its path.
std::string writeFuzzFile(const std::string& name, const std::uint8_t* data, std::size_t size);

// A small font of a few letters, written once below the scratch folder; its
// path relative to the program folder. It holds the shapes letter files take
// in the wild: several points, points on the box edges, a line without a
// comma, an empty file, far-out coordinates.
const std::string& fuzzFont();

// Stops the run (so libFuzzer keeps the input) when a reader's result breaks
// a rule that holds for every input.
#define FUZZ_CHECK(condition) ((condition) ? (void)0 : fuzzFailure(#condition, __FILE__, __LINE__))
[[noreturn]] void fuzzFailure(const char* condition, const char* file, int line);

// Keeps the heap that one call may take within budget: floor plus
// bytesPerInputByte times the input's size, above what was live when the
// guard was made. Checked when the guard goes out of scope; the peak is
// tracked through the sanitizer's allocation hooks.
class MemoryBudget {
  public:
    MemoryBudget(std::size_t inputSize, std::size_t bytesPerInputByte,
                 std::size_t floor = 16u << 20);
    ~MemoryBudget();
    MemoryBudget(const MemoryBudget&) = delete;
    MemoryBudget& operator=(const MemoryBudget&) = delete;

  private:
    std::size_t limit_;
};
