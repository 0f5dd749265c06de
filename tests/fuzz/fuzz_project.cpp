// Project files come from anywhere a user keeps text: whatever the bytes, the
// loader gives a project or NotAProjectError, and the layout of what it gives
// finishes with a tool path the writer turns into a program the reader takes.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "FuzzSupport.h"
#include "gcode/GCodeReader.h"
#include "gcode/GCodeWriter.h"
#include "lib/EventPump.h"
#include "lib/VezorError.h"
#include "lib/Win1251.h"
#include "main/Layout.h"
#include "main/ProjectFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& font = fuzzFont();
    const std::string path = writeFuzzFile("project.txt", data, size);
    // Every byte may become a line with its tag collections, and every letter
    // a few records whose texts are
    // held in the list, the program and the list read back from it.
    MemoryBudget budget(size, 4096);
    EventPump pump;
    Project project;
    try {
        project = ReadProjectFile(path, pump);
    } catch (const NotAProjectError&) {
        return 0;
    }
    FUZZ_CHECK(project.ProjectLines.Count() >= 1);
    FUZZ_CHECK(project.ProjectPath == path);
    for (const ProjectLine& line : project.ProjectLines) {
        FUZZ_CHECK(line.TagPositions.Count() == line.TagNames.Count());
        FUZZ_CHECK(line.TagPositions.Count() == line.TagValues.Count());
        // A character named for each stand-in byte at most (tags take theirs along).
        FUZZ_CHECK(line.Foreign.size() <=
                   static_cast<std::size_t>(std::count(line.Text.begin(), line.Text.end(),
                                                       static_cast<char>(win1251::kForeign))));
    }
    (void)ProjectDisplayText(project);

    // Parameters far beyond any machine (a kilometre) overflow the layout's
    // arithmetic into infinite coordinates; only sane ones must stay finite.
    bool sane = true;
    for (double parameter :
         {project.LineSpacing, project.FieldWidth, project.LetterHeight, project.WidthFactor})
        sane = sane && std::fabs(parameter) <= 1e6;

    MachiningSettings settings;
    settings.NoRazriv = static_cast<int>(size % 2);
    const LayoutResult laid = LayOutProject(project, font, settings);
    FUZZ_CHECK(laid.points && laid.points->count() >= 2);  // at least the last line-end lift
    const PenPoints& points = *laid.points;
    bool finite = true;
    for (std::size_t i = 1; i <= points.count(); ++i) {
        const PenPoint& p = points[i];
        finite = finite && std::isfinite(p.X) && std::isfinite(p.Y) && std::isfinite(p.Z);
    }
    FUZZ_CHECK(finite || !sane);

    if (!finite) {
        bool refused = false;
        try {
            (void)BuildGCodeProgram(points, settings.SkorF);
        } catch (const CoordinateRangeError&) {
            refused = true;
        } catch (const NothingToWriteError&) {
            refused = true;
        }
        FUZZ_CHECK(refused);  // no program that cannot be read back
        return 0;
    }
    std::string program;
    try {
        program = BuildGCodeProgram(points, settings.SkorF);
    } catch (const NothingToWriteError&) {
        return 0;  // nothing but lifts
    }
    PenPoints back;
    ViewBounds bounds;
    try {
        ReadGCodeText(program, back, bounds, pump);
    } catch (const GCodeReadError&) {
        FUZZ_CHECK(!"the reader takes every program the writer writes");
    }
    return 0;
}
