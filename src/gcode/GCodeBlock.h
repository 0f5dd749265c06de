#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// One line of a G-code program taken apart into its words, as a controller
// reads it: comments in ( ) and after ";" dropped, spaces and tabs anywhere
// outside them ignored, letters of either case, a leading "/" (block delete)
// and line numbers N skipped, a trailing checksum "*nn" cut off, a line that
// starts with "%" a program delimiter.

// Why a line cannot be run. The order is that of the checks.
enum class BlockIssue : std::uint8_t {
    None,
    NotGCode,        // characters that form no words
    NumberTooLarge,  // a number beyond any machine's reach (1e12 and more)
    Parameters,      // "#" parameters or "[ ]" expressions
    Subroutine,      // O-words other than a bare program number
    OtherAxis,       // A, B, C, U, V or W
    UnknownWord,     // a letter no controller of this kind reads
    RepeatedWord,    // one letter twice (other than G and M)
    UnknownG,        // a G code the interpreter does not run
    UnknownM,        // an M code it does not run
    ModalConflict,   // two codes of one modal group
    CutterCompensation,
    InverseTimeFeed,  // G93
    NoFeed,           // a feed move before any F
    ArcWithoutCentre,
    ArcRadiusTooSmall,  // R shorter than half the chord
    ArcEndOffCircle,    // the end further from the centre than the start
    ArcFullCircleByRadius,
    ArcMixedForms,      // R together with I/J/K, or a centre word of another plane
    ArcTurns,           // P that is no whole number of turns from 1
    G53NeedsG0G1,       // G53 with an arc or a cycle
    CycleDepth,         // a drilling cycle without Z or R, R below Z, or a peck Q not above 0
    CycleRepeats,       // more repeats or pecks than any real hole needs
    CycleNotInXyPlane,  // drilling cycles run in G17 only here
    BadOffsetCommand,   // G10 other than L2/L20 with P0..P9
    AxisWordsUnused,    // axis words with nothing to use them (after G80)
    TwoAxisCommands,    // e.g. G28 and G1 in one line
};

// The user's text for an issue (Windows-1251).
std::string BlockIssueText(BlockIssue issue);

// G and M codes as whole tenths: G90.1 is 901, M3 is 30.
using CodeTenths = std::int32_t;

struct GCodeBlock {
    static constexpr std::size_t kMaxCodes = 12;

    std::uint32_t letters = 0;  // bit (letter - 'A') for every word other than G, M, N
    std::array<double, 26> value{};
    std::array<CodeTenths, kMaxCodes> g{};
    std::size_t gCount = 0;
    std::array<CodeTenths, kMaxCodes> m{};
    std::size_t mCount = 0;
    bool delimiter = false;  // a "%" line
    std::size_t words = 0;   // letter-and-number words read, N and O included

    bool has(char letter) const { return (letters >> (letter - 'A')) & 1u; }
    double operator[](char letter) const { return value[static_cast<std::size_t>(letter - 'A')]; }
    // No words at all: an empty line, a comment, a "%" line.
    bool empty() const { return letters == 0 && gCount == 0 && mCount == 0; }
};

// Reads one line (without its line end). `scratch` is reused between calls so
// that lines cost no allocation. On an issue the block holds what was read so far.
BlockIssue ReadGCodeBlock(std::string_view line, GCodeBlock& block, std::string& scratch);
