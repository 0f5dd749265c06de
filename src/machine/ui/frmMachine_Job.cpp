// The program in the «Станок» window: taking it, the checks before it runs,
// framing, starting, stopping and resuming from a line.
#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>

#include "gcode/HeightMapApply.h"
#include "lib/Dialogs.h"
#include "lib/VezorError.h"
#include "lib/Win1251.h"
#include "lib/ui/QtText.h"
#include "machine/GrblRealtime.h"
#include "machine/JobCheck.h"
#include "machine/MachineConnection.h"
#include "machine/MachineTexts.h"
#include "machine/ResumePlan.h"
#include "machine/ui/ProgramView.h"
#include "machine/ui/frmHeightMap.h"
#include "machine/ui/frmMachine.h"

void frmMachine::takeProgram(bool tellWhenNone) {
    if (machine_->jobRunning()) return;
    const MachineProgramSource source = programSource_ ? programSource_() : MachineProgramSource{};
    if (source.text.empty()) {
        if (!tellWhenNone) return;
        tell(source.message.empty() ? cp("В главном окне нет программы: откройте проект или "
                                         "файл G-code.")
                                    : source.message);
        return;
    }
    sourceText_ = source.text;
    programName_ = source.name;
    buildProgram();
}

void frmMachine::buildProgram() {
    if (machine_->jobRunning()) return;
    pausedAt_.reset();
    const bool mapped = heightMap_ != nullptr && heightMap_->applied();
    try {
        plainProgram_ = std::make_shared<MachineProgram>(MachineProgram::fromText(sourceText_));
        program_ = mapped ? std::make_shared<MachineProgram>(MachineProgram::fromText(
                                ApplyHeightMap(sourceText_, *heightMap_->map())))
                          : plainProgram_;
    } catch (const VezorError& e) {
        program_.reset();
        tell(e.message());
    }
    if (program_ && machine_->isConnected()) program_->plan(machine_->info().settings.limits());
    view->setProgram(program_);
    spnFramePower->setVisible(program_ && ReadToolHandling(*program_).laser);
    lblProgram->setText(program_ ? toQ(programName_ + (mapped ? cp(", по карте высот") : "") +
                                       ". " + ProgramSummary(*program_))
                                 : QString());
    const int lines = program_ && program_->size() > 0
                          ? static_cast<int>(program_->sourceLine(program_->size() - 1))
                          : 1;
    spnResumeLine->setRange(1, lines);
    spnResumeLine->setValue(1);
    prgJob->setMaximum(program_ ? static_cast<int>(program_->size()) : 0);
    prgJob->setValue(0);
    confirmedSinceConnect_ = false;
    showResumeLine();
    updateControls();
}

std::shared_ptr<const ProgramPath> frmMachine::readyToRun() {
    if (!program_ || program_->size() == 0) {
        tell(cp("Нет программы: нажмите «Взять из главного окна»."));
        return nullptr;
    }
    if (!machine_->isConnected() || machine_->jobRunning()) return nullptr;
    JobCheck check =
        CheckJob(*program_, machine_->info(), machine_->status(), machine_->offsetKnown());
    // A height map holds for the work zero it was probed from.
    if (!check.refusal && heightMap_ != nullptr && heightMap_->applied())
        check.refusal = CheckMapZero(*heightMap_->map(), machine_->status().offset);
    if (check.refusal) {
        log(*check.refusal);
        tell(*check.refusal);
        return nullptr;
    }
    return check.path;
}

void frmMachine::cmdFrame_Click() {
    if (!readyToRun()) return;
    const double feed = spnJogFeed->value();
    const std::vector<std::string> lines =
        FrameLines(*program_, feed, static_cast<double>(spnFramePower->value()));
    if (lines.empty()) return;
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    MachineJob frame;
    frame.program = std::make_shared<const MachineProgram>(MachineProgram::fromText(text));
    log(cp("Обводка программы."));
    startJob(frame);
}

void frmMachine::cmdStart_Click() {
    const std::shared_ptr<const ProgramPath> path = readyToRun();
    if (!path) return;
    if (!confirmedSinceConnect_) {
        const std::string question =
            cp("Запустить программу «") + programName_ + cp("»?\n") + ProgramSummary(*program_);
        if (!dialogs().question(question, cp("Станок"))) return;
        confirmedSinceConnect_ = true;
    }
    MachineJob job{{}, program_, 0, {}, false, path};
    if (chkCheckFirst->isChecked()) {
        afterCheck_ = job;
        job.checkOnly = true;
        log(cp("Проверка программы в режиме $C..."));
    }
    startJob(job);
}

void frmMachine::startJob(MachineJob job) {
    pausedAt_.reset();
    running_ = job.program;
    framing_ = job.program != program_;
    executed_ = job.from;
    if (job.program) {
        prgJob->setFormat(framing_        ? QStringLiteral("Обводка: %v из %m строк")
                          : job.checkOnly ? QStringLiteral("Проверка: %v из %m строк")
                                          : QStringLiteral("%v из %m строк"));
        prgJob->setMaximum(static_cast<int>(job.program->size()));
        prgJob->setValue(static_cast<int>(job.from));
    }
    machine_->start(job);
    updateControls();
}

void frmMachine::jobEnded(const QString& barFormat) {
    prgJob->setFormat(barFormat);
    lblTimeLeft->clear();
    updateControls();
}

void frmMachine::cmdStop_Click() {
    afterCheck_.reset();
    machine_->stop();
}

void frmMachine::showResumeLine() {
    if (!program_ || program_->size() == 0) {
        lblResumeLine->clear();
        view->markLine(-1);
        return;
    }
    const std::size_t index =
        std::min(program_->indexOfSourceLine(static_cast<std::size_t>(spnResumeLine->value())),
                 program_->size() - 1);
    lblResumeLine->setText(toQ(std::string(program_->line(index))));
    view->markLine(static_cast<long long>(index));
}

void frmMachine::cmdStrokeStart_Click() {
    if (!program_ || program_->size() == 0) return;
    const std::size_t index =
        std::min(program_->indexOfSourceLine(static_cast<std::size_t>(spnResumeLine->value())),
                 program_->size() - 1);
    spnResumeLine->setValue(static_cast<int>(program_->sourceLine(StrokeStart(*program_, index))));
}

void frmMachine::cmdResumeFrom_Click() {
    const std::shared_ptr<const ProgramPath> path = readyToRun();
    if (!path) return;
    const std::size_t index =
        std::min(program_->indexOfSourceLine(static_cast<std::size_t>(spnResumeLine->value())),
                 program_->size() - 1);
    std::vector<std::string> before;
    try {
        before = ResumeLines(*program_, index);
    } catch (const VezorError& e) {
        tell(e.message());
        return;
    }
    const std::string question =
        cp("Продолжить программу со строки " + std::to_string(program_->sourceLine(index)) +
           "? Станок поднимет инструмент, перейдёт к началу этой строки, опустит инструмент и "
           "продолжит.");
    if (!dialogs().question(question, cp("Станок"))) return;
    confirmedSinceConnect_ = true;
    log(cp("Продолжение со строки ") + std::to_string(program_->sourceLine(index)) + ".");
    startJob(MachineJob{before, program_, index, {}, false, path});
}

void frmMachine::cmdResume_Click() {
    if (!pausedAt_) {
        machine_->realtime(std::string(1, grbl::kCycleStart));
        return;
    }
    const std::shared_ptr<const ProgramPath> path = readyToRun();
    if (!path) return;
    const std::size_t index = *pausedAt_;
    std::vector<std::string> before;
    try {
        before = ResumeLines(*program_, index);
    } catch (const VezorError& e) {
        tell(e.message());
        return;
    }
    pausedAt_.reset();
    log(cp("Продолжение после остановки, со строки ") +
        std::to_string(program_->sourceLine(index)) + ".");
    startJob(MachineJob{before, program_, index, {}, false, path});
}

void frmMachine::cmdHeightMap_Click() {
    if (heightMap_ == nullptr) {
        heightMap_ = new frmHeightMap(
            *machine_,
            [this]() -> std::optional<ProgramExtent> {
                if (!plainProgram_) return std::nullopt;
                return plainProgram_->extent();
            },
            this);
        connect(heightMap_, &frmHeightMap::mapChanged, this, [this] { buildProgram(); });
    }
    heightMap_->show();
    heightMap_->raise();
    heightMap_->activateWindow();
}
