#include "BatchCommand.h"

#include <cstdio>
#include <filesystem>
#include <string>

#include "MainRoad.h"
#include "PreviewCommands.h"
#include "gcode/GCodeWriter.h"
#include "lib/TextFile.h"
#include "lib/Win1251.h"
#include "main/PlateBatch.h"
#include "main/ProjectFile.h"

namespace {

void say(const std::string& cp1251) {
    std::fputs(TerminalText(cp1251).c_str(), stderr);
    std::fputc('\n', stderr);
}

int runGrid(const PlateBatch& batch, const Options& options, const std::string& font,
            const MachiningSettings& settings, const GCodeProfile& profile) {
    std::vector<std::string> skipped;
    const LayoutResult grid = LayOutPlateGrid(
        batch, options.gridColumns, options.pitch.first, options.pitch.second, font, settings,
        options.png.empty() ? MoveTexts::Skip : MoveTexts::Build, skipped);
    for (const std::string& message : skipped) say(message);
    const std::string program = BuildGCodeProgram(*grid.points, settings.SkorF, profile);
    if (options.out.empty() || options.out == "-") {
        if (std::fwrite(program.data(), 1, program.size(), stdout) != program.size() ||
            std::fflush(stdout) != 0)
            return kExitFailure;
    } else {
        WriteGCodeFile(options.out, program);
        std::printf("%s\n", options.out.c_str());
    }
    if (!options.png.empty()) {
        const int status =
            WritePreviewPng(*grid.points, grid.bounds, 0, DrawingMode::Project, options.scale,
                            options.png, profile.lineWidth, options.ink);
        if (status != kExitDone) return status;
    }
    return skipped.empty() ? kExitDone : kExitLettersMissing;
}

}  // namespace

int RunBatch(const Options& options) {
    MachiningSettings settings;
    std::string font;
    GCodeProfile profile;
    if (!ProfileFor(options, profile) || !PrepareRun(options, settings, font)) return kExitFailure;
    settings = SettingsForProfile(settings, profile);
    settings.LineWidth = profile.lineWidth;
    try {
        PlateRows rows;
        if (!options.batch.empty()) {
            rows.table = ReadCsvFile(options.batch);
        } else if (const auto range = SerialRange(options.serial)) {
            rows = *range;
        } else {
            say(cp("vezor-gcode: --serial ждёт FROM..TO, например 1..100"));
            return kExitFailure;
        }
        const bool grid = options.gridColumns > 0;
        std::string projectBytes;
        try {
            projectBytes = textfile::readBytes(options.project);
        } catch (const FileReadError&) {
            throw NotAProjectError();
        }
        const PlateBatch batch(projectBytes, std::move(rows), grid ? std::string() : options.out);
        if (grid) return runGrid(batch, options, font, settings, profile);
        // A folder the names do not fill in is the same for every plate: told
        // once, before any plate is made. (Made by the writer it could be a typo.)
        const std::filesystem::path folder = std::filesystem::path(options.out).parent_path();
        if (!folder.empty() && folder.string().find('{') == std::string::npos &&
            !textfile::isDirectory(folder.string())) {
            say(cp("Папки ") + win1251::fromUtf8(folder.string()) +
                cp(" нет: файлы не записаны. Создайте её или укажите в --out другую"));
            return kExitFailure;
        }

        const BatchReport report = WritePlateFiles(
            batch, font, settings,
            [&](const PenPoints& points) {
                return BuildGCodeProgram(points, settings.SkorF, profile);
            },
            [](std::size_t, const PlateOutcome& plate) {
                if (plate.path.empty())
                    say(plate.message);
                else
                    std::printf("%s\n", plate.path.c_str());
                return true;
            });
        std::fflush(stdout);
        say(cp("Записано файлов: ") + std::to_string(report.written()) + cp(" из ") +
            std::to_string(batch.count()));
        if (report.written() == 0) return kExitFailure;
        return report.written() == batch.count() ? kExitDone : kExitLettersMissing;
    } catch (const NotAProjectError& e) {
        say(e.message());
        return kExitNotAProject;
    } catch (const VezorError& e) {
        say(e.message());
        return kExitFailure;
    }
}
