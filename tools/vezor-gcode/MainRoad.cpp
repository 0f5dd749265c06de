#include "MainRoad.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "CliSettings.h"
#include "PreviewCommands.h"
#include "font/FontStorage.h"
#include "gcode/GCodeEstimate.h"
#include "gcode/GCodeWriter.h"
#include "gcode/HeightMapApply.h"
#include "gcode/InterpretedEstimate.h"
#include "gcode/InterpretedReader.h"
#include "gcode/RecordsThread.h"
#include "lib/EventPump.h"
#include "lib/TextFile.h"
#include "lib/VezorError.h"
#include "lib/Win1251.h"
#include "main/FontList.h"
#include "main/Layout.h"
#include "main/PlateExport.h"
#include "main/ProjectFile.h"

namespace {

void say(const std::string& utf8) {
    std::fputs(utf8.c_str(), stderr);
    std::fputc('\n', stderr);
}

void sayProgramText(const std::string& cp1251) { say(TerminalText(cp1251)); }

// Standard output as a sink; a failed write is told once, at the end.
class StandardOutputSink final : public GCodeSink {
  public:
    void write(std::string_view bytes) override {
        ok_ = ok_ && std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
    }
    bool finish() { return std::fflush(stdout) == 0 && ok_; }

  private:
    bool ok_ = true;
};

class DiscardedRecords final : public PenPointSink {
  public:
    void add(const PenPoint&) override {}
};

void printFigures(const MachiningFigures& figures) {
    for (const auto& [name, value] : FigureLines(figures))
        std::printf("%s %s\n", name.c_str(), value.c_str());
}

}  // namespace

std::string TerminalText(const std::string& cp1251) {
    const std::string utf8 = win1251::toUtf8(cp1251);
    std::string text;
    text.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] != '\r') {
            text += utf8[i];
        } else if (i + 1 == utf8.size() || utf8[i + 1] != '\n') {
            text += '\n';
        }
    }
    return text;
}

int RunListFonts() {
    for (const FontEntry& font : FontEntries())
        std::printf("%s\t%s\n", font.name.c_str(), font.folder.c_str());
    return std::fflush(stdout) == 0 ? kExitDone : kExitFailure;
}

int RunListProfiles() {
    std::vector<std::string> messages;
    for (const GCodeProfile& p : AvailableProfiles(&messages))
        std::printf("%s\n", win1251::toUtf8(p.name).c_str());
    for (const std::string& m : messages) sayProgramText(m);
    return std::fflush(stdout) == 0 ? kExitDone : kExitFailure;
}

bool ProfileFor(const Options& options, GCodeProfile& profile) {
    if (!options.profile) {
        std::vector<std::string> messages;
        profile = ChosenProfile(&messages);
        for (const std::string& m : messages) sayProgramText(m);
    } else {
        bool found = false;
        profile = FindProfile(win1251::fromUtf8(*options.profile), &found);
        if (!found) {
            say("vezor-gcode: no such profile: " + *options.profile + " (see --list-profiles)");
            return false;
        }
    }
    if (options.rotary) profile.rotaryDiameter = *options.rotary;
    return true;
}

int RunEstimateCheck(const Options& options) {
    GCodeProfile profile;
    if (!ProfileFor(options, profile)) return kExitFailure;
    try {
        printFigures(EstimateGCodeFile(options.check, LimitsOf(profile)));
    } catch (const VezorError& e) {
        sayProgramText(e.message());
        return 2;
    }
    return std::fflush(stdout) == 0 ? kExitDone : kExitFailure;
}

int RunEstimateRead(const Options& options) {
    GCodeProfile profile;
    if (!ProfileFor(options, profile)) return kExitFailure;
    PenPoints points;
    ViewBounds bounds;
    EventPump noEvents;
    try {
        const InterpretedRead read = InterpretGCodeFile(options.read, points, bounds, noEvents);
        printFigures(EstimateInterpretedFile(options.read, LimitsOf(profile), read.cutRule));
        if (std::fflush(stdout) != 0) return kExitFailure;
        for (const SkippedLine& skipped : read.skipped)
            sayProgramText(SkippedLineText(points, skipped));
        return read.skipped.empty() ? kExitDone : kExitLettersMissing;
    } catch (const VezorError& e) {
        sayProgramText(e.message());
        return 2;
    }
}

bool PrepareRun(const Options& options, MachiningSettings& settings, std::string& font) {
    settings = StoredSettingsQuietly();
    settings.Mirror = options.mirror;
    try {
        for (const auto& [key, value] : options.settings)
            ApplySettingOverride(settings, key, value);
    } catch (const OptionsError& e) {
        say(std::string("vezor-gcode: ") + e.what());
        return false;
    }

    font.clear();
    if (options.font) {
        font = *options.font;
        // A relative path names a folder below the current one first, as any
        // command-line path does; failing that, a font below the program folder.
        const std::filesystem::path given(font);
        if (given.is_relative() && textfile::isDirectory(font))
            font = std::filesystem::absolute(given).lexically_normal().string();
        if (!textfile::isDirectory(FontFolderPath(font))) {
            say("vezor-gcode: no such font folder: " + font);
            return false;
        }
    } else if (const auto fonts = FontList(); !fonts.empty()) {
        font = fonts.front();
    }
    return true;
}

int RunMainRoad(const Options& options) {
    GCodeProfile profile;
    if (!ProfileFor(options, profile)) return kExitFailure;
    MachiningSettings settings;
    std::string font;
    if (!PrepareRun(options, settings, font)) return kExitFailure;
    settings = SettingsForProfile(settings, profile);
    settings.LineWidth = profile.lineWidth;

    // Without a picture or a drawing the layout goes straight into the
    // program, laid out afresh each time the writer goes through the records,
    // and no list is kept: memory stays the same whatever the project's size.
    // The picture needs the list, with its texts, since the preview tells a
    // lift by the Z in a record's text; SVG and DXF need the list.
    const bool keepList = !options.png.empty() || !options.svg.empty() || !options.dxf.empty();

    // Without the list only the project's text is held, its lines made as
    // they are laid out; the list is made from the whole project.
    std::optional<ProjectStream> stream;
    Project project;
    try {
        EventPump noEvents;
        if (keepList)
            project = ReadProjectFile(options.project, noEvents);
        else
            stream.emplace(ReadProjectStream(options.project));
    } catch (const NotAProjectError& e) {
        sayProgramText(e.message());
        return kExitNotAProject;
    }
    LayoutResult layout;
    bool laidOut = false;
    const auto tellLayout = [&] {
        // Each missing letter once, with how often the text asks for it.
        for (const std::string& line :
             MissingLetterCounts(layout.missingCharacters, TextForm::Utf8))
            say(line);
        for (const std::string& note : layout.notes) sayProgramText(note);
    };
    PenPointSource records;
    if (!keepList) {
        records = [&](PenPointSink& sink) {
            LayoutResult pass = StreamProjectLayout(*stream, font, settings, sink);
            if (!laidOut) layout = std::move(pass);
            laidOut = true;
        };
        // Laid out on a thread of its own while the program is written, where
        // a core is left for it: a profile that leads with its figures plans
        // them on a thread of its own already.
        if (!profile.comments || std::thread::hardware_concurrency() > 2)
            records = RecordsOnAThread(records);
    } else {
        layout = LayOutProject(project, font, settings, MoveTexts::Build);
        laidOut = true;
        tellLayout();
        records = RecordsOf(*layout.points);
    }

    try {
        if (!options.heightMap.empty()) {
            // The program made whole first, then made to follow the surface.
            const HeightMap map = ReadHeightMapFile(options.heightMap);
            StringSink made;
            WriteGCode(records, settings.SkorF, profile, made, WrittenOnFailure::Kept);
            const std::string mapped = ApplyHeightMap(made.text, map);
            if (options.out.empty() || options.out == "-") {
                StandardOutputSink sink;
                sink.write(mapped);
                if (!sink.finish()) {
                    say("vezor-gcode: cannot write to standard output");
                    return kExitFailure;
                }
            } else {
                WriteGCodeFile(options.out, mapped);
            }
        } else if (options.estimate) {
            printFigures(EstimateProgram(records, settings.SkorF, profile));
        } else if (options.out.empty() || options.out == "-") {
            StandardOutputSink sink;
            WriteGCode(records, settings.SkorF, profile, sink, WrittenOnFailure::Kept);
            if (!sink.finish()) {
                say("vezor-gcode: cannot write to standard output");
                return kExitFailure;
            }
        } else {
            WriteGCodeFile(options.out, records, settings.SkorF, profile);
        }
    } catch (const VezorError& e) {
        if (!laidOut) {
            // Refused before the first record (a feed inches cannot take):
            // the layout's messages still come first.
            DiscardedRecords none;
            layout = StreamProjectLayout(*stream, font, settings, none);
        }
        if (!keepList) tellLayout();
        sayProgramText(e.message());
        return kExitFailure;
    }
    if (!keepList) tellLayout();
    try {
        if (!options.svg.empty() || !options.dxf.empty()) {
            const PlatePaths paths = PathsOfPlate(*layout.points, layout.bounds);
            if (!options.svg.empty())
                textfile::writeAtomically(options.svg, PlateSvg(paths, profile.lineWidth));
            if (!options.dxf.empty()) textfile::writeAtomically(options.dxf, PlateDxf(paths));
        }
    } catch (const VezorError& e) {
        sayProgramText(e.message());
        return kExitFailure;
    }
    if (!options.png.empty()) {
        const int status =
            WritePreviewPng(*layout.points, layout.bounds, project.FieldWidth, DrawingMode::Project,
                            options.scale, options.png, profile.lineWidth, options.ink);
        if (status != kExitDone) return status;
    }
    return layout.messages.empty() ? kExitDone : kExitLettersMissing;
}
