// vezor-gcode: the main road (project in, G-code out) without a window.
#include <QLocale>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "BatchCommand.h"
#include "MainRoad.h"
#include "Options.h"
#include "PreviewCommands.h"
#include "lib/NumberText.h"
#include "lib/ProgramFolder.h"
#include "lib/Win1251.h"

namespace {

// The executable's folder holds the fonts, as it does for the window program.
std::string executableFolder(const char* argv0) {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec || exe.empty()) exe = std::filesystem::absolute(argv0, ec);
    return exe.parent_path().string();
}

void installPlatform(const char* argv0) {
    const ProgramPlace place = SettleProgramPlace(executableFolder(argv0), DefaultUserFolder());
    UseProgramPlace(place);
    if (!place.notice.empty()) std::fprintf(stderr, "%s\n", win1251::toUtf8(place.notice).c_str());
    // Tag positions are read in the user's number form, as the window reads them.
    numtext::setDecimalSeparator(QLocale::system().decimalPoint() == QStringLiteral(",") ? ','
                                                                                         : '.');
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    try {
        options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const OptionsError& e) {
        std::fprintf(stderr, "vezor-gcode: %s\n\n%s", e.what(), UsageText().c_str());
        return kExitFailure;
    }
    if (options.help) {
        std::fputs(UsageText().c_str(), stdout);
        return kExitDone;
    }
    installPlatform(argc > 0 ? argv[0] : "vezor-gcode");
    if (options.listFonts) return RunListFonts();
    if (options.listProfiles) return RunListProfiles();
    if (!options.check.empty() && options.estimate) return RunEstimateCheck(options);
    if (!options.check.empty()) return RunCheck(options.check, options.png, options.scale);
    if (options.plates()) return RunBatch(options);
    return RunMainRoad(options);
}
