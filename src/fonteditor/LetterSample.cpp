#include "fonteditor/LetterSample.h"

#include <algorithm>
#include <cmath>

#include "lib/MachiningSettings.h"
#include "lib/Win1251.h"

namespace lettersample {
namespace {
// As the template of a new project has them.
constexpr double kLineSpacing = 4.97;
constexpr double kLetterHeight = 4.4;
constexpr double kWidthFactor = 0.75;
}  // namespace

std::string defaultText(std::optional<int> code) {
    if (!code) return win1251::fromUtf8("Съешь ещё этих булок");
    const char letter = static_cast<char>(static_cast<unsigned char>(*code));
    if (*code < 128) return std::string("H") + letter + "o The quick brown fox";
    return win1251::fromUtf8("Н") + letter + win1251::fromUtf8("о Съешь ещё этих булок");
}

LayoutResult layOut(const std::string& text, const std::string& fontPath,
                    const MachiningSettings& settings, std::optional<int> code,
                    const std::vector<std::string>& letterLines) {
    Project project;
    project.LineSpacing = kLineSpacing;
    project.FieldWidth = 100;
    project.LetterHeight = kLetterHeight;
    project.WidthFactor = kWidthFactor;
    project.ProjectLines.Add(ProjectLine{text, {}, {}, {}, {}});
    if (!code || *code < 0 || *code > 255)
        return LayOutProject(project, fontPath, settings, MoveTexts::Build);
    const LetterInMemory letter{static_cast<unsigned char>(*code), letterLines};
    return LayOutProject(project, fontPath, settings, MoveTexts::Build, &letter);
}

std::optional<PreviewView> fit(const PenPoints& points, double width, double height) {
    bool any = false;
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (std::size_t i = 1; i <= points.count(); ++i) {
        const PenPoint& p = points[i];
        if (p.X == 0 || p.Y == 0) continue;
        minX = any ? std::min(minX, p.X) : p.X;
        maxX = any ? std::max(maxX, p.X) : p.X;
        minY = any ? std::min(minY, p.Y) : p.Y;
        maxY = any ? std::max(maxY, p.Y) : p.Y;
        any = true;
    }
    if (!any || !(width > 1) || !(height > 1)) return std::nullopt;
    // Never closer than a letter's height, so a dot or a dash is not blown up.
    const double margin = kLetterHeight * 0.15;
    const double spanX = std::max(maxX - minX, kLetterHeight) + 2 * margin;
    const double spanY = std::max(maxY - minY, kLetterHeight) + 2 * margin;
    const double mmPerPixel = std::max(spanX / (width - 1), spanY / (height - 1));
    const double cy = (minY + maxY) / 2;
    const double halfW = (width - 1) * mmPerPixel / 2;
    const double halfH = (height - 1) * mmPerPixel / 2;
    // A short text starts at the left, as a line of a project does.
    const double left = minX - margin;
    return PreviewView{left, cy + halfH, left + 2 * halfW, cy - halfH};
}

}  // namespace lettersample
