#pragma once

#include <string>

// GRBL 1.1's error and alarm numbers as sentences for the user (Windows-1251):
// what happened and what to do. An unknown number is named as such.
std::string GrblErrorText(int code);
std::string GrblAlarmText(int code);
