#pragma once

#include <string>

// GRBL 1.1's real-time commands: single bytes that GRBL acts on as they
// arrive, outside its line buffer (so they are never counted as line bytes).
namespace grbl {

constexpr char kStatusQuery = '?';
constexpr char kFeedHold = '!';
constexpr char kCycleStart = '~';
constexpr char kSoftReset = 0x18;
constexpr unsigned char kSafetyDoor = 0x84;
constexpr unsigned char kJogCancel = 0x85;
constexpr unsigned char kFeedReset = 0x90;     // then +10, -10, +1, -1: 0x91..0x94
constexpr unsigned char kRapidFull = 0x95;     // 0x96 half, 0x97 quarter
constexpr unsigned char kSpindleReset = 0x99;  // then +10, -10, +1, -1: 0x9A..0x9D

bool isRealtime(char byte);

// The bytes that take the feed or spindle override to `percent` (10..200):
// back to 100 %, then steps of 10 and of 1.
std::string feedOverrideBytes(int percent);
std::string spindleOverrideBytes(int percent);

}  // namespace grbl
