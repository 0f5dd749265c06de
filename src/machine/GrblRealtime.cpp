#include "machine/GrblRealtime.h"

#include <algorithm>

namespace {

std::string overrideBytes(unsigned char reset, int percent) {
    percent = std::clamp(percent, 10, 200);
    std::string bytes(1, static_cast<char>(reset));
    const int change = percent - 100;
    const int tens = change / 10;  // toward zero
    const int ones = change % 10;
    const auto add = [&](int steps, unsigned char up, unsigned char down) {
        for (int i = 0; i < (steps < 0 ? -steps : steps); ++i)
            bytes.push_back(static_cast<char>(steps > 0 ? up : down));
    };
    add(tens, reset + 1, reset + 2);
    add(ones, reset + 3, reset + 4);
    return bytes;
}

}  // namespace

namespace grbl {

bool isRealtime(char byte) {
    const auto b = static_cast<unsigned char>(byte);
    return byte == kStatusQuery || byte == kFeedHold || byte == kCycleStart || byte == kSoftReset ||
           b >= 0x80;
}

std::string feedOverrideBytes(int percent) { return overrideBytes(kFeedReset, percent); }
std::string spindleOverrideBytes(int percent) { return overrideBytes(kSpindleReset, percent); }

}  // namespace grbl
