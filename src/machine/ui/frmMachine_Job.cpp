// The program in the «Станок» window: taking it, the checks before it runs,
// framing, starting, stopping and resuming from a line.
#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>

#include "lib/Dialogs.h"
#include "lib/VezorError.h"
#include "lib/Win1251.h"
#include "lib/ui/QtText.h"
#include "machine/MachineConnection.h"
#include "machine/MachineTexts.h"
#include "machine/ProgramFit.h"
#include "machine/ResumePlan.h"
#include "machine/ui/ProgramView.h"
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
    try {
        program_ = std::make_shared<MachineProgram>(MachineProgram::fromText(source.text));
    } catch (const VezorError& e) {
        program_.reset();
        tell(e.message());
    }
    programName_ = source.name;
    if (program_ && machine_->isConnected()) program_->plan(machine_->info().settings.limits());
    view->setProgram(program_);
    spnFramePower->setVisible(program_ && ReadToolHandling(*program_).laser);
    lblProgram->setText(program_ ? toQ(programName_ + ". " + ProgramSummary(*program_))
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

bool frmMachine::readyToRun() {
    if (!program_ || program_->size() == 0) {
        tell(cp("Нет программы: нажмите «Взять из главного окна»."));
        return false;
    }
    if (!machine_->isConnected() || machine_->jobRunning()) return false;
    if (machine_->status().state != "Idle") {
        tell(cp("Станок не в покое (") + StateText(machine_->status()) +
             cp("): дождитесь остановки, разблокируйте его или выполните поиск нуля."));
        return false;
    }
    if (!machine_->offsetKnown()) {
        tell(cp("Станок ещё не сообщил ноль заготовки: подождите секунду и повторите."));
        return false;
    }
    if (const auto refusal = CheckProgramFits(program_->extent(), machine_->info().settings,
                                              machine_->status().offset)) {
        log(*refusal);
        tell(*refusal);
        return false;
    }
    return true;
}

void frmMachine::cmdFrame_Click() {
    if (!readyToRun()) return;
    const double feed = spnJogFeed->value();
    const std::vector<std::string> lines =
        FrameLines(*program_, feed, static_cast<double>(spnFramePower->value()));
    if (lines.empty()) return;
    log(cp("Обводка программы."));
    startJob(MachineJob{lines, nullptr, 0, {}, false});
}

void frmMachine::cmdStart_Click() {
    if (!readyToRun()) return;
    if (!confirmedSinceConnect_) {
        const std::string question =
            cp("Запустить программу «") + programName_ + cp("»?\n") + ProgramSummary(*program_);
        if (!dialogs().question(question, cp("Станок"))) return;
        confirmedSinceConnect_ = true;
    }
    MachineJob job{{}, program_, 0, {}, false};
    if (chkCheckFirst->isChecked()) {
        afterCheck_ = job;
        job.checkOnly = true;
        log(cp("Проверка программы в режиме $C..."));
    }
    startJob(job);
}

void frmMachine::startJob(MachineJob job) {
    acknowledged_ = job.from;
    if (job.program) {
        prgJob->setMaximum(static_cast<int>(job.program->size()));
        prgJob->setValue(static_cast<int>(job.from));
    }
    machine_->start(job);
    updateControls();
}

void frmMachine::jobEnded() {
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
    if (!readyToRun()) return;
    const std::size_t index =
        std::min(program_->indexOfSourceLine(static_cast<std::size_t>(spnResumeLine->value())),
                 program_->size() - 1);
    const std::string question =
        cp("Продолжить программу со строки " + std::to_string(program_->sourceLine(index)) +
           "? Станок поднимет инструмент, перейдёт к началу этой строки, опустит инструмент и "
           "продолжит.");
    if (!dialogs().question(question, cp("Станок"))) return;
    confirmedSinceConnect_ = true;
    log(cp("Продолжение со строки ") + std::to_string(program_->sourceLine(index)) + ".");
    startJob(MachineJob{ResumeLines(*program_, index), program_, index, {}, false});
}
