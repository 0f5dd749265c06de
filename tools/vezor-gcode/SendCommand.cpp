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
#include <QThread>
#include <atomic>
#include <csignal>
#include <functional>
#include <memory>
#include <optional>

#include "lib/VezorError.h"
#include "machine/MachineConnection.h"
#include "machine/MachineTexts.h"
#include "machine/ProgramFit.h"

namespace {

std::atomic<bool> g_interrupted{false};

void say(const std::string& text1251) {
    std::fprintf(stderr, "%s\n", win1251::toUtf8(text1251).c_str());
}

// Lets the sender's news arrive until `done` holds; false after `seconds`
// (0: no limit) or on Ctrl+C.
bool waitFor(const std::function<bool()>& done, int seconds) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (g_interrupted || (seconds > 0 && clock.elapsed() > seconds * 1000LL)) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
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
    try {
        program = std::make_shared<MachineProgram>(MachineProgram::fromFile(options.project));
    } catch (const VezorError& e) {
        say(e.message());
        return kExitFailure;
    }
    std::signal(SIGINT, [](int) { g_interrupted = true; });

    MachineConnection machine;
    std::string failure;
    bool finished = false;
    std::optional<JobStop> stopped;
    std::size_t acknowledged = 0;
    QObject::connect(&machine, &MachineConnection::connectionFailed,
                     [&](const std::string& m) { failure = m; });
    QObject::connect(&machine, &MachineConnection::disconnected,
                     [&](const std::string& m) { failure = m; });
    QObject::connect(&machine, &MachineConnection::jobFinished, [&] { finished = true; });
    QObject::connect(&machine, &MachineConnection::jobStopped,
                     [&](const JobStop& s) { stopped = s; });
    QObject::connect(&machine, &MachineConnection::progress,
                     [&](std::size_t done, std::size_t) { acknowledged = done; });

    machine.open(QString::fromStdString(options.send), options.baud);
    if (!waitFor([&] { return machine.isConnected() || !failure.empty(); }, 30) ||
        !failure.empty()) {
        say(failure.empty() ? cp("GRBL не ответил на порту " + options.send + ".") : failure);
        return kExitFailure;
    }
    // GRBL reports its work offset within a few status reports.
    waitFor([&] { return machine.offsetKnown(); }, 5);
    if (machine.status().state == "Alarm") {
        say(
            cp("Станок в состоянии аварии: разблокируйте его ($X) или выполните поиск нуля "
               "($H), затем отправьте программу снова."));
        return kExitFailure;
    }
    if (!machine.offsetKnown()) {
        say(cp("Станок не сообщил смещение нуля заготовки: размеры программы проверить нельзя."));
        return kExitFailure;
    }
    if (const auto refusal =
            CheckProgramFits(program->extent(), machine.info().settings, machine.status().offset)) {
        say(*refusal);
        return kExitFailure;
    }
    program->plan(machine.info().settings.limits());
    const bool terminal = isatty(fileno(stderr)) != 0;
    const auto report = [&] {
        const double left = SecondsLeft(*program, acknowledged, machine.status().overrides[0]);
        const int percent =
            program->size() == 0 ? 100 : static_cast<int>(acknowledged * 100 / program->size());
        const std::string line =
            cp(std::to_string(acknowledged) + " из " + std::to_string(program->size()) +
               " строк (" + std::to_string(percent) + " %), осталось " + ClockText(left));
        std::fprintf(stderr, terminal ? "\r%s   " : "%s\n", win1251::toUtf8(line).c_str());
    };

    const auto run = [&](bool checkOnly) {
        finished = false;
        stopped.reset();
        machine.start(MachineJob{{}, program, 0, {}, checkOnly});
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
    if (options.checkFirst && !run(true)) {
        if (terminal) std::fputs("\n", stderr);
        say(stopped ? stopped->message : failure);
        return kExitFailure;
    }
    const bool done = run(false);
    report();
    if (terminal) std::fputs("\n", stderr);
    if (!done) {
        say(stopped ? stopped->message : failure);
        return kExitFailure;
    }
    say(cp("Готово: станок принял и выполнил все " + std::to_string(program->size()) + " строк."));
    return kExitDone;
}

#endif
