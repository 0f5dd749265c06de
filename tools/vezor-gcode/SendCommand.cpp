#include "SendCommand.h"

#include <cstdio>

#include "lib/Win1251.h"

#ifndef VEZOR_MACHINE

int RunSend(const Options&) {
    std::fputs("vezor-gcode: this build has no GRBL sender (built without Qt Serial Port)\n",
               stderr);
    return kExitFailure;
}

#else

#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <atomic>
#include <csignal>
#include <functional>
#include <memory>
#include <optional>

#include "lib/VezorError.h"
#include "machine/JobCheck.h"
#include "machine/MachineConnection.h"
#include "machine/MachineTexts.h"
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

}  // namespace

int RunSend(const Options& options) {
    int argc = 1;
    char name[] = "vezor-gcode";
    char* argv[] = {name, nullptr};
    const QCoreApplication app(argc, argv);
    std::shared_ptr<MachineProgram> program;
    std::size_t from = 0;
    std::vector<std::string> resume;
    try {
        program = std::make_shared<MachineProgram>(MachineProgram::fromFile(options.project));
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
    std::signal(SIGINT, [](int) { g_interrupted = true; });

    MachineConnection machine;
    std::string failure;
    bool finished = false;
    std::optional<JobStop> stopped;
    std::size_t executed = from;
    QObject::connect(&machine, &MachineConnection::connectionFailed,
                     [&](const std::string& m) { failure = m; });
    QObject::connect(&machine, &MachineConnection::disconnected,
                     [&](const std::string& m) { failure = m; });
    QObject::connect(&machine, &MachineConnection::jobFinished, [&] { finished = true; });
    QObject::connect(&machine, &MachineConnection::jobStopped,
                     [&](const JobStop& s) { stopped = s; });
    QObject::connect(&machine, &MachineConnection::progress,
                     [&](std::size_t done, std::size_t) { executed = done; });
    // Whatever ends the send, the machine is left standing with nothing on.
    const auto leave = [&](int status) {
        if (machine.isOpen()) {
            g_interrupted = false;
            machine.closeSafely();
            waitFor([&] { return !machine.isOpen(); }, 15);
        }
        return status;
    };

    machine.open(QString::fromStdString(options.send), options.baud);
    if (!waitFor([&] { return machine.isConnected() || !failure.empty(); }, 30) ||
        !failure.empty()) {
        say(failure.empty() ? cp("GRBL не ответил на порту " + options.send + ".") : failure);
        return leave(kExitFailure);
    }
    // GRBL reports its work offset within a few status reports.
    waitFor([&] { return machine.offsetKnown(); }, 5);
    const JobCheck check =
        CheckJob(*program, machine.info(), machine.status(), machine.offsetKnown());
    if (check.refusal) {
        say(*check.refusal);
        return leave(kExitFailure);
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
        finished = false;
        stopped.reset();
        executed = from;
        machine.start(MachineJob{checkOnly ? std::vector<std::string>{} : resume,
                                 program,
                                 from,
                                 {},
                                 checkOnly,
                                 checkOnly ? nullptr : check.path});
        QElapsedTimer shown;
        shown.start();
        while (!finished && !stopped && failure.empty()) {
            if (!waitFor([&] { return finished || stopped || !failure.empty(); }, 1)) {
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
        return finished;
    };
    if (from > 0) say(cp("Продолжение со строки " + std::to_string(options.resumeFrom) + "."));
    if (options.checkFirst && !run(true)) {
        if (terminal) std::fputs("\n", stderr);
        say(stopped ? stopped->message : failure);
        return leave(kExitFailure);
    }
    const bool done = run(false);
    report();
    if (terminal) std::fputs("\n", stderr);
    if (!done) {
        say(stopped ? stopped->message : failure);
        if (stopped && stopped->executed < program->size()) {
            // As the window does: back to the start of the letter being written.
            const std::size_t line = program->sourceLine(StrokeStart(*program, stopped->executed));
            say(cp("Продолжить можно с начала буквы, строки " + std::to_string(line) +
                   ": vezor-gcode --send ") +
                win1251::fromUtf8(options.send) + " --from " + std::to_string(line) + " " +
                win1251::fromUtf8(options.project));
        }
        return leave(kExitFailure);
    }
    say(cp("Готово: станок принял и выполнил все " + std::to_string(program->size() - from) +
           " строк."));
    return leave(kExitDone);
}

#endif
