#pragma once

#include <optional>
#include <string>

#include "gcode/InterpretedReader.h"
#include "gcode/PenPoints.h"
#include "gcode/WordReadingCheck.h"
#include "lib/EventPump.h"

// How the window's «Открыть .tap/.gcode» read a file.
struct OpenedGCode {
    enum class Reading {
        Words,        // word by word, as VEzor's own programs are read
        Interpreter,  // accepted word by word but drawn wrongly so: run by the interpreter
        Refused,      // the word-by-word reading refused it
    };
    Reading reading = Reading::Words;
    // Interpreter: the first line the word-by-word reading would have drawn wrongly.
    std::optional<MisdrawnLine> misdrawn;
    // Interpreter: the lines it could not run and how it told cutting moves.
    InterpretedRead interpreted;
    // Refused: why, naming the first line the word-by-word reading does not
    // understand (a line it takes without a word, such as a parameter, counts
    // too), and whether the file reads as a program: more of its lines hold
    // G-code words than hold what no G-code line holds (a picture, a letter or
    // a binary file does not).
    std::string refusal;
    bool readsAsProgram = false;
};

// Reads a G-code file word by word when that reading accepts it and draws it
// rightly (every program VEzor writes), and with the interpreter when that
// reading accepts a file it would draw wrongly. A refused file leaves in
// `points` and `bounds` the lines read up to the refused one, as
// ReadGCodeFile does. A file that cannot be read throws FileReadError, a
// blank one EmptyGCodeFileError; both leave `points` and `bounds` untouched.
OpenedGCode OpenGCodeFile(const std::string& path, PenPoints& points, ViewBounds& bounds,
                          EventPump& pump);
