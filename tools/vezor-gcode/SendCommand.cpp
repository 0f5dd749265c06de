#include "SendCommand.h"

#include <cstdio>

#include "lib/Win1251.h"

#ifndef VEZOR_MACHINE

int RunSend(const Options&) {
    std::fputs("vezor-gcode: this build has no GRBL sender (built without Qt Serial Port)\n",
               stderr);
    return kExitFailure;
}

int RunProbe(const Options& options) { return RunSend(options); }

#else

#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>
#include <atomic>
#include <csignal>
#include <functional>
#include <memory>
#include <optional>

#include "gcode/HeightMapApply.h"
#include "gcode/MoveNumber.h"
#include "lib/TextFile.h"
#include "lib/VezorError.h"
#include "machine/JobCheck.h"
#include "machine/MachineConnection.h"
#include "machine/MachineTexts.h"
#include "machine/ProbeSession.h"
#include "machine/ResumePlan.h"

namespace {

std::atomic<bool> g_interrupted{false};

void say(const std::string& text1251) {
    std::fprintf(stderr, "%s\n", win1251::toUtf8(text1251).c_str());
}

// Lets the sender's news arrive until `done` holds; false after `seconds`
// (0: no limit) or on Ctrl+C. Sleeps until an event comes: the sender's
// thread brings the machine's status five times a second, and a timer looks
// at Ctrl+C and the time limit four times a second.
bool waitFor(const std::function<bool()>& done, int seconds) {
    QElapsedTimer clock;
    clock.start();
    QTimer wake;
    wake.start(250);
    while (!done()) {
        if (g_interrupted || (seconds > 0 && clock.elapsed() > seconds * 1000LL)) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// The machine as the sender reaches it: connected, its news followed, and
// left standing with nothing on whatever ends the run.
class Session {
  public:
    explicit Session(const Options& options) : options_(options) {
        QObject::connect(&machine, &MachineConnection::connectionFailed,
                         [this](const std::string& m) { failure = m; });
        QObject::connect(&machine, &MachineConnection::disconnected,
                         [this](const std::string& m) { failure = m; });
        QObject::connect(&machine, &MachineConnection::jobFinished, [this] { finished = true; });
        QObject::connect(&machine, &MachineConnection::jobStopped,
                         [this](const JobStop& s) { stopped = s; });
    }
    // False with the message said when the machine cannot be reached.
    bool open(const std::string& port) {
        machine.open(QString::fromStdString(port), options_.baud);
        if (!waitFor([&] { return machine.isConnected() || !failure.empty(); }, 30) ||
            !failure.empty()) {
            say(failure.empty() ? cp("GRBL не ответил на порту ") + win1251::fromUtf8(port) + "."
                                : failure);
            return false;
        }
        // GRBL reports its work offset within a few status reports.
        waitFor([&] { return machine.offsetKnown(); }, 5);
        return true;
    }
    int leave(int status) {
        if (machine.isOpen()) {
            g_interrupted = false;
            machine.closeSafely();
            waitFor([&] { return !machine.isOpen(); }, 15);
        }
        return status;
    }

    MachineConnection machine;
    std::string failure;
    bool finished = false;
    std::optional<JobStop> stopped;

  private:
    const Options& options_;
};

void keepCtrlC() {
    std::signal(SIGINT, [](int) { g_interrupted = true; });
}

QCoreApplication& application() {
    static int argc = 1;
    static char name[] = "vezor-gcode";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// The operator's go-ahead after a tool change: a line on standard input.
// False at its end or on Ctrl+C.
bool operatorGoesOn() {
    std::fputs(
        win1251::toUtf8(cp("Нажмите Enter, чтобы продолжить (Ctrl+C — остановить).\n")).c_str(),
        stderr);
    QSocketNotifier input(fileno(stdin), QSocketNotifier::Read);
    bool answered = false, ended = false;
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char line[256];
        if (std::fgets(line, sizeof line, stdin) == nullptr) ended = true;
        answered = true;
        input.setEnabled(false);
    });
    return waitFor([&] { return answered; }, 0) && !ended;
}

}  // namespace

int RunSend(const Options& options) {
    application();
    std::shared_ptr<MachineProgram> program;
    std::optional<HeightMap> map;
    std::size_t from = 0;
    std::vector<std::string> resume;
    try {
        std::string text = textfile::readBytes(options.project);
        if (!options.heightMap.empty()) {
            map = ReadHeightMapFile(options.heightMap);
            text = ApplyHeightMap(text, *map);
        }
        program = std::make_shared<MachineProgram>(MachineProgram::fromText(text));
        if (options.resumeFrom > 0) {
            from = program->indexOfSourceLine(options.resumeFrom);
            if (from >= program->size())
                throw VezorError(cp("В файле нет строки " + std::to_string(options.resumeFrom) +
                                    " или строк с командами после неё: продолжать нечего."));
            resume = ResumeLines(*program, from);
        }
    } catch (const VezorError& e) {
        say(e.message());
        return kExitFailure;
    }
    keepCtrlC();
    Session session(options);
    MachineConnection& machine = session.machine;
    std::size_t executed = from;
    QObject::connect(&machine, &MachineConnection::progress,
                     [&](std::size_t done, std::size_t) { executed = done; });
    if (!session.open(options.send)) return session.leave(kExitFailure);
    JobCheck check = CheckJob(*program, machine.info(), machine.status(), machine.offsetKnown());
    if (!check.refusal && map) check.refusal = CheckMapZero(*map, machine.status().offset);
    if (check.refusal) {
        say(*check.refusal);
        return session.leave(kExitFailure);
    }
    program->plan(machine.info().settings.limits());
    const bool terminal = isatty(fileno(stderr)) != 0;
    const auto report = [&] {
        const double left = SecondsLeft(*program, executed, machine.status().overrides[0]);
        const int percent =
            program->size() == 0 ? 100 : static_cast<int>(executed * 100 / program->size());
        const std::string line =
            cp(std::to_string(executed) + " из " + std::to_string(program->size()) + " строк (" +
               std::to_string(percent) + " %), осталось " + ClockText(left));
        std::fprintf(stderr, terminal ? "\r%s   " : "%s\n", win1251::toUtf8(line).c_str());
    };

    const auto run = [&](bool checkOnly) {
        session.finished = false;
        session.stopped.reset();
        executed = from;
        machine.start(MachineJob{checkOnly ? std::vector<std::string>{} : resume,
                                 program,
                                 from,
                                 {},
                                 checkOnly,
                                 checkOnly ? nullptr : check.path});
        QElapsedTimer shown;
        shown.start();
        const auto ended = [&] {
            return session.finished || session.stopped || !session.failure.empty();
        };
        while (!ended()) {
            if (!waitFor(ended, 1)) {
                if (g_interrupted) {
                    g_interrupted = false;
                    machine.stop();
                }
                if (shown.elapsed() > (terminal ? 500 : 5000)) {
                    report();
                    shown.restart();
                }
            }
        }
        return session.finished;
    };
    if (from > 0) say(cp("Продолжение со строки " + std::to_string(options.resumeFrom) + "."));
    if (options.checkFirst && !run(true)) {
        if (terminal) std::fputs("\n", stderr);
        say(session.stopped ? session.stopped->message : session.failure);
        return session.leave(kExitFailure);
    }
    bool done = run(false);
    // A tool change or a pause of the program: on after the operator's word.
    while (!done && session.stopped && session.stopped->why == JobStop::Why::Pause) {
        if (terminal) std::fputs("\n", stderr);
        say(session.stopped->message);
        from = session.stopped->index + 1;
        if (!operatorGoesOn()) {
            say(cp("Отправка остановлена. Продолжить: vezor-gcode --send ") +
                win1251::fromUtf8(options.send) + " --from " +
                std::to_string(program->sourceLine(std::min(from, program->size() - 1))) + " " +
                win1251::fromUtf8(options.project));
            return session.leave(kExitFailure);
        }
        check = CheckJob(*program, machine.info(), machine.status(), machine.offsetKnown());
        if (check.refusal) {
            say(*check.refusal);
            return session.leave(kExitFailure);
        }
        resume = ResumeLines(*program, from);
        done = run(false);
    }
    report();
    if (terminal) std::fputs("\n", stderr);
    if (!done) {
        const std::optional<JobStop>& stopped = session.stopped;
        say(stopped ? stopped->message : session.failure);
        if (stopped && stopped->executed < program->size()) {
            // As the window does: back to the start of the letter being written.
            const std::size_t line = program->sourceLine(StrokeStart(*program, stopped->executed));
            say(cp("Продолжить можно с начала буквы, строки " + std::to_string(line) +
                   ": vezor-gcode --send ") +
                win1251::fromUtf8(options.send) + " --from " + std::to_string(line) + " " +
                win1251::fromUtf8(options.project));
        }
        return session.leave(kExitFailure);
    }
    say(cp("Готово: станок принял и выполнил все " + std::to_string(program->size() - from) +
           " строк."));
    return session.leave(kExitDone);
}

int RunProbe(const Options& options) {
    application();
    keepCtrlC();
    Session session(options);
    if (!session.open(options.probe)) return session.leave(kExitFailure);
    const GrblStatus& status = session.machine.status();
    if (status.state != "Idle" || !session.machine.offsetKnown()) {
        say(cp("Станок не готов к измерению (") + StateText(status) +
            cp("): дождитесь покоя, разблокируйте его ($X) и повторите."));
        return session.leave(kExitFailure);
    }
    ProbeGrid grid;
    grid.x0 = options.area[0];
    grid.y0 = options.area[1];
    grid.x1 = options.area[2];
    grid.y1 = options.area[3];
    grid.columns = options.probeGrid.first;
    grid.rows = options.probeGrid.second;
    grid.feed = options.probeFeed;
    grid.depth = options.probeDepth;
    grid.retract = options.probeRetract;
    ProbeSession probe(session.machine);
    std::optional<HeightMap> map;
    std::string failure;
    QObject::connect(&probe, &ProbeSession::mapReady, [&](const HeightMap& m) { map = m; });
    QObject::connect(&probe, &ProbeSession::failed, [&](const std::string& m) { failure = m; });
    QObject::connect(&probe, &ProbeSession::pointProbed, [](std::size_t done, std::size_t total) {
        say(cp("Точка " + std::to_string(done) + " из " + std::to_string(total)));
    });
    probe.probeGrid(grid);
    while (!map && failure.empty()) {
        if (!waitFor([&] { return map || !failure.empty(); }, 0) && g_interrupted) {
            g_interrupted = false;
            session.machine.stop();
        }
    }
    if (!map) {
        say(failure);
        return session.leave(kExitFailure);
    }
    try {
        WriteHeightMapFile(options.out, *map);
    } catch (const VezorError& e) {
        say(e.message());
        return session.leave(kExitFailure);
    }
    say(cp("Карта высот записана: высоты от ") + movenumber::fixedText(map->lowest(), 3, true) +
        cp(" до ") + movenumber::fixedText(map->highest(), 3, true) + cp(" мм."));
    return session.leave(kExitDone);
}

#endif
