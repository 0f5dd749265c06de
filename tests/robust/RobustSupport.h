#pragma once

// Helpers of the robustness tests: coarse time and memory guards, and
// reproducible garbage.
#include <chrono>
#include <cstdint>
#include <fstream>
#include <optional>
#include <random>
#include <string>

#include "lib/cls_PropertyHTML.h"

// Seconds since construction.
class Stopwatch {
  public:
    double seconds() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    }

  private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// Growth of the process's peak resident memory since construction, in MB.
// Empty where the peak cannot be reset (not Linux, or not allowed).
class PeakMemory {
  public:
    PeakMemory() {
        std::ofstream reset("/proc/self/clear_refs");
        reset << "5";
        reset.flush();
        resettable_ = reset.good();
        base_ = readKb("VmRSS:");
    }
    std::optional<double> growthMb() const {
        if (!resettable_) return std::nullopt;
        return (readKb("VmHWM:") - base_) / 1024.0;
    }

  private:
    static double readKb(const std::string& field) {
        std::ifstream status("/proc/self/status");
        std::string word;
        while (status >> word)
            if (word == field) {
                double kb = 0;
                status >> kb;
                return kb;
            }
        return 0;
    }
    bool resettable_ = false;
    double base_ = 0;
};

// Generous ceilings: the sanitized build runs the same tests, several times
// slower and with several times the memory.
constexpr double kSecondsCeiling = 20.0;

#define EXPECT_MEMORY_BELOW_MB(peak, mb)             \
    do {                                             \
        if (const auto growth = (peak).growthMb()) { \
            EXPECT_LT(*growth, mb) << "MB of heap";  \
        }                                            \
    } while (0)

// Bytes that no editor wrote, the same on every run.
inline std::string garbageBytes(std::size_t size, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
    return bytes;
}

// Every read a loaded page offers; only named errors may come out.
inline void readEveryPageProperty(cls_PropertyHTML& page) {
    try {
        (void)page.Titul();
    } catch (const PageTextError&) {
    }
    (void)page.Sound();
    (void)page.FlashKol();
    (void)page.PictureKol();
    Collection<std::string> marks;
    page.MetkaRead(marks);
}
