// The «Станок» window opened from the main window, with the program the list
// holds: a G-code file read as it is, a laid-out project as the chosen
// profile writes it.
#include "main/ui/frmGCode.h"

#ifdef VEZOR_MACHINE

#include "gcode/GCodeProfile.h"
#include "gcode/GCodeWriter.h"
#include "lib/TextFile.h"
#include "lib/VezorError.h"
#include "lib/Win1251.h"
#include "lib/ui/WindowPlacement.h"
#include "machine/MachineConnection.h"
#include "machine/ui/frmMachine.h"
#include "main/Session.h"

bool frmGCode::machineReleased() {
    auto* window = qobject_cast<frmMachine*>(machineWindow_);
    return window == nullptr || window->releaseMachine();
}

void frmGCode::cmdMachine_Click() {
    auto* window = qobject_cast<frmMachine*>(machineWindow_);
    if (window == nullptr) {
        window = new frmMachine([this] { return programForMachine(); }, this);
        machineWindow_ = window;
        PlaceOnScreen(window);
    }
    window->show();
    window->raise();
    window->activateWindow();
    if (!window->machine().jobRunning()) window->takeProgram(false);
}

MachineProgramSource frmGCode::programForMachine() {
    MachineProgramSource source;
    if (listIsRead_ && !readFile_.empty()) {
        source.name = win1251::fromUtf8(readFile_);
        try {
            source.text = textfile::readBytes(readFile_);
        } catch (const VezorError& e) {
            source.message = e.message();
        }
        return source;
    }
    // What the window has laid out goes, whether or not it was saved as a
    // project; but the list holds the last layout of good values, not what
    // fields marked invalid say.
    if (const std::string faults = parameterFaults(); !faults.empty()) {
        source.message = cp("Программа не передана станку:") + faults;
        return source;
    }
    const std::shared_ptr<PenPoints> points = session_.penPoints();
    if (projectNotLaidOut_ || !points || !HasSomethingToWrite(*points)) {
        source.message =
            cp("В главном окне нет программы: наберите текст, откройте проект или файл G-code.");
        return source;
    }
    GCodeProfile profile = ChosenProfile();
    // GRBL refuses a tool change: the GRBL profile then writes the program.
    std::string start = profile.start;
    std::erase(start, ' ');
    if (start.find("M6") != std::string::npos || start.find("M06") != std::string::npos)
        profile = FindProfile("GRBL");
    const std::string name = project_.ProjectPath.empty() ? cp("Текст главного окна")
                                                          : win1251::fromUtf8(project_.ProjectPath);
    source.name = name + cp(" (профиль ") + profile.name + ")";
    source.text = BuildGCodeProgram(*points, session_.machiningSettings().SkorF, profile);
    return source;
}

#else

bool frmGCode::machineReleased() { return true; }

#endif
