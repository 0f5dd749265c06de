#pragma once

#include <cstddef>
#include <string>

#include "machine/GrblReplies.h"
#include "machine/MachineProgram.h"

// What the sender shows, in Russian (Windows-1251).

// GRBL's state as a word: «Покой», «Работа», «Пауза», «Авария» ...
std::string StateText(const GrblStatus& status);

// "3:07" or "1:02:03".
std::string ClockText(double seconds);

// The time left once `executed` lines have run, scaled by the feed override (%).
double SecondsLeft(const MachineProgram& program, std::size_t executed, int feedOverride);

// Lines, extent per axis and planned time, for the question before the first start.
std::string ProgramSummary(const MachineProgram& program);
