// vezor-gcode: the main road (project in, G-code out) without a window.
#include <QLocale>
#include <cstdio>
#include <string>
#include <vector>

#include "BatchCommand.h"
#include "MainRoad.h"
#include "Options.h"
#include "PreviewCommands.h"
#include "SendCommand.h"
#include "lib/NumberText.h"
#include "lib/ProgramFolder.h"
#include "lib/ProgramStart.h"
#include "lib/Win1251.h"

namespace {

// The executable's folder holds the fonts, as it does for the window program.
void installPlatform(const char* argv0) {
    const ProgramPlace place =
        SettleProgramPlace(programstart::executableFolder(argv0), DefaultUserFolder());
    UseProgramPlace(place);
    if (!place.notice.empty()) std::fprintf(stderr, "%s\n", win1251::toUtf8(place.notice).c_str());
    // Tag positions are read in the user's number form, as the window reads them.
    numtext::setDecimalSeparator(QLocale::system().decimalPoint() == QStringLiteral(",") ? ','
                                                                                         : '.');
}

}  // namespace

int main(int argc, char** argv) {
    programstart::rawConsole();
    Options options;
    try {
        options = ParseOptions(programstart::arguments(argc, argv));
    } catch (const OptionsError& e) {
        std::fprintf(stderr, "vezor-gcode: %s\n\n%s", e.what(), UsageText().c_str());
        return kExitFailure;
    }
    if (options.help) {
        std::fputs(UsageText().c_str(), stdout);
        return kExitDone;
    }
    installPlatform(argc > 0 ? argv[0] : "vezor-gcode");
    if (!options.send.empty()) return RunSend(options);
    if (!options.probe.empty()) return RunProbe(options);
    if (options.listFonts) return RunListFonts();
    if (options.listProfiles) return RunListProfiles();
    if (!options.check.empty() || !options.read.empty()) {
        if (options.estimate)
            return options.read.empty() ? RunEstimateCheck(options) : RunEstimateRead(options);
        // The picture draws the writing as wide as the profile's line.
        GCodeProfile profile;
        if (!options.png.empty() && !ProfileFor(options, profile)) return kExitFailure;
        const double width = options.png.empty() ? 0 : profile.lineWidth;
        return options.read.empty() ? RunCheck(options.check, options.png, options.scale, width)
                                    : RunRead(options.read, options.png, options.scale, width);
    }
    if (options.plates()) return RunBatch(options);
    return RunMainRoad(options);
}
