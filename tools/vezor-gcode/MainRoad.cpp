#include "MainRoad.h"

#include <cstdio>
#include <string>

#include "CliSettings.h"
#include "PreviewCommands.h"
#include "font/FontStorage.h"
#include "gcode/GCodeWriter.h"
#include "lib/EventPump.h"
#include "lib/TextFile.h"
#include "lib/VezorError.h"
#include "lib/Win1251.h"
#include "main/FontList.h"
#include "main/Layout.h"
#include "main/ProjectFile.h"

namespace {

void say(const std::string& utf8) {
    std::fputs(utf8.c_str(), stderr);
    std::fputc('\n', stderr);
}

void sayProgramText(const std::string& cp1251) { say(win1251::toUtf8(cp1251)); }

bool writeToStandardOutput(const std::string& bytes) {
    const std::size_t written = std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    return written == bytes.size() && std::fflush(stdout) == 0;
}

}  // namespace

int RunListFonts() {
    for (const FontEntry& font : FontEntries())
        std::printf("%s\t%s\n", font.name.c_str(), font.folder.c_str());
    return std::fflush(stdout) == 0 ? kExitDone : kExitFailure;
}

int RunMainRoad(const Options& options) {
    MachiningSettings settings = StoredSettingsQuietly();
    try {
        for (const auto& [key, value] : options.settings)
            ApplySettingOverride(settings, key, value);
    } catch (const OptionsError& e) {
        say(std::string("vezor-gcode: ") + e.what());
        return kExitFailure;
    }

    std::string font;
    if (options.font) {
        font = *options.font;
        if (!textfile::isDirectory(FontFolderPath(font))) {
            say("vezor-gcode: no such font folder: " + font);
            return kExitFailure;
        }
    } else if (const auto fonts = FontList(); !fonts.empty()) {
        font = fonts.front();
    }

    Project project;
    try {
        EventPump noEvents;
        project = ReadProjectFile(options.project, noEvents);
    } catch (const NotAProjectError& e) {
        sayProgramText(e.message());
        return kExitNotAProject;
    }

    // The file needs no list texts; the picture does, since the preview tells a
    // lift by the Z in a record's text.
    const LayoutResult layout = LayOutProject(
        project, font, settings, options.png.empty() ? MoveTexts::Skip : MoveTexts::Build);
    for (const std::string& message : layout.messages) sayProgramText(message);

    try {
        const std::string program = BuildGCodeProgram(*layout.points, settings.SkorF);
        if (options.out.empty() || options.out == "-") {
            if (!writeToStandardOutput(program)) {
                say("vezor-gcode: cannot write to standard output");
                return kExitFailure;
            }
        } else {
            WriteGCodeFile(options.out, program);
        }
    } catch (const VezorError& e) {
        sayProgramText(e.message());
        return kExitFailure;
    }
    if (!options.png.empty()) {
        const int status = WritePreviewPng(*layout.points, layout.bounds, project.FieldWidth, 1,
                                           options.scale, options.png);
        if (status != kExitDone) return status;
    }
    return layout.messages.empty() ? kExitDone : kExitLettersMissing;
}
