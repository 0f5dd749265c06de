#pragma once

#include <optional>
#include <string>

#include "gcode/PenPoints.h"
#include "main/PreviewGeometry.h"

// The preview side of vezor-gcode: checking a G-code file as the window's
// reader reads it, and the window's preview drawing as a PNG picture.

// The side of the square picture, in pixels.
constexpr int kPreviewPngSize = 1000;

// A --scale value: a whole percentage from 25 to 200; empty otherwise.
std::optional<int> PreviewScaleFromText(const std::string& text);

// Reads the G-code file with the view bounds starting at the origin and prints
// "records N bounds MINX MINY MAXX MAXY" to standard output. A file that does
// not read prints the reader's message to standard error (its carriage returns
// as line feeds) and gives 2. With a PNG path it then writes the file's preview
// (no field border) as WritePreviewPng does.
int RunCheck(const std::string& path, const std::string& pngPath, int scale,
             double writingWidth = 0);

// The same with the interpreter (--read): the lines it cannot run follow on
// standard error, and the status is 3 when there are any (after the picture).
int RunRead(const std::string& path, const std::string& pngPath, int scale,
            double writingWidth = 0);

// Draws the records as the draw button does on a square surface of
// kPreviewPngSize pixels, one scale for both axes (the view of the bounds
// reaches further right or down where it is narrower; all records;
// DrawingMode::Project for a laid-out project, GCodeFile for a G-code file; the
// field border at fieldWidth when it is above 0; writing as wide as
// writingWidth mm) and writes the picture as a PNG. Returns 0, or 1 after a
// message on standard error.
// With ink, only what the tool leaves is drawn (paintInk).
int WritePreviewPng(const PenPoints& points, ViewBounds bounds, double fieldWidth,
                    DrawingMode drawMode, int scale, const std::string& pngPath,
                    double writingWidth = 0, bool ink = false);
