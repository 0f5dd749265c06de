#pragma once

#include <optional>
#include <string>
#include <vector>

#include "main/Layout.h"
#include "main/PreviewGeometry.h"

// The font editor's sample line: a short text in the font being edited, laid
// out as a line of a new project is, with the letter on the surface standing
// in for its file, so every edit shows among its neighbours at once.
namespace lettersample {

// The letter between «Н» and «о» («H» and «o» below code 128), then a short
// line of many letters (Windows-1251). Without a letter, the short line alone.
std::string defaultText(std::optional<int> code);

// One project line of the text with the parameters of a new project's template
// and the machining settings in force.
LayoutResult layOut(const std::string& text, const std::string& fontPath,
                    const MachiningSettings& settings, std::optional<int> code,
                    const std::vector<std::string>& letterLines);

// A view of everything the sample draws, with a margin, at one scale on both
// axes for a picture of the given width and height; none when nothing is drawn.
std::optional<PreviewView> fit(const PenPoints& points, double width, double height);

}  // namespace lettersample
