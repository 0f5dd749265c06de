#include "machine/ui/frmMachine.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QSpinBox>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

#include "gcode/MoveNumber.h"
#include "lib/Dialogs.h"
#include "lib/NumberText.h"
#include "lib/Win1251.h"
#include "lib/ui/QtText.h"
#include "machine/GrblMessages.h"
#include "machine/GrblRealtime.h"
#include "machine/MachineConnection.h"
#include "machine/MachineTexts.h"
#include "machine/ResumePlan.h"
#include "machine/ui/ProgramView.h"
#include "machine/ui/frmHeightMap.h"

namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setFocusPolicy(Qt::TabFocus);
    return b;
}

// With the user's decimal mark, as the window's other numbers.
QString position(const std::array<double, 3>& p) {
    const auto mm = [](double v) {
        return QString::fromStdString(
            movenumber::fixedText(v, 3, false, numtext::decimalSeparator()));
    };
    return QStringLiteral("X %1   Y %2   Z %3").arg(mm(p[0]), mm(p[1]), mm(p[2]));
}

}  // namespace

frmMachine::frmMachine(std::function<MachineProgramSource()> programSource, QWidget* parent)
    : QWidget(parent, Qt::Window),
      programSource_(std::move(programSource)),
      machine_(std::make_unique<MachineConnection>()) {
    setObjectName("frmMachine");
    setWindowTitle(QStringLiteral("Станок"));
    view = new ProgramView(this);
    view->setObjectName("view");
    auto* panel = new QWidget(this);
    auto* column = new QVBoxLayout(panel);
    column->addWidget(buildConnection());
    column->addWidget(buildMotion());
    column->addWidget(buildJob());
    txtLog = new QPlainTextEdit(this);
    txtLog->setObjectName("txtLog");
    txtLog->setReadOnly(true);
    txtLog->setMaximumBlockCount(2000);
    txtLog->setMinimumHeight(90);
    column->addWidget(txtLog, 1);
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(view);
    split->addWidget(panel);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    auto* outer = new QHBoxLayout(this);
    outer->addWidget(split);
    connect(view, &ProgramView::lineClicked, this, [this](std::size_t index) {
        if (!program_ || index >= program_->size()) return;
        spnResumeLine->setValue(static_cast<int>(program_->sourceLine(index)));
    });
    jogRelease_ = new QTimer(this);
    jogRelease_->setSingleShot(true);
    jogRelease_->setInterval(40);
    connect(jogRelease_, &QTimer::timeout, this, [this] {
        jogKey_ = 0;
        machine_->cancelJog();
    });
    wireMachine();
    cmdPorts_Click();
    resize(1150, 760);
    updateControls();
}

frmMachine::~frmMachine() = default;

QWidget* frmMachine::buildConnection() {
    auto* box = new QGroupBox(QStringLiteral("Связь"), this);
    auto* grid = new QGridLayout(box);
    cboPort = new QComboBox(box);
    cboPort->setObjectName("cboPort");
    cboPort->setEditable(true);
    cboPort->setMinimumContentsLength(14);
    cmdPorts = button(box, "cmdPorts", QStringLiteral("Обновить"));
    cboBaud = new QComboBox(box);
    cboBaud->setObjectName("cboBaud");
    for (const int rate : {9600, 19200, 38400, 57600, 115200, 230400, 250000})
        cboBaud->addItem(QString::number(rate), rate);
    cboBaud->setCurrentText(QStringLiteral("115200"));
    cmdConnect = button(box, "cmdConnect", QStringLiteral("Подключить"));
    lblState = new QLabel(box);
    lblState->setObjectName("lblState");
    QFont bold = lblState->font();
    bold.setBold(true);
    lblState->setFont(bold);
    lblState->setText(QStringLiteral("Нет связи"));
    lblPosition = new QLabel(box);
    lblPosition->setObjectName("lblPosition");
    lblMachinePosition = new QLabel(box);
    lblMachinePosition->setObjectName("lblMachinePosition");
    lblFeed = new QLabel(box);
    lblFeed->setObjectName("lblFeed");
    grid->addWidget(new QLabel(QStringLiteral("Порт"), box), 0, 0);
    grid->addWidget(cboPort, 0, 1);
    grid->addWidget(cmdPorts, 0, 2);
    grid->addWidget(cboBaud, 0, 3);
    grid->addWidget(cmdConnect, 0, 4);
    grid->addWidget(lblState, 1, 0, 1, 5);
    grid->addWidget(new QLabel(QStringLiteral("Заготовка"), box), 2, 0);
    grid->addWidget(lblPosition, 2, 1, 1, 4);
    grid->addWidget(new QLabel(QStringLiteral("Станок"), box), 3, 0);
    grid->addWidget(lblMachinePosition, 3, 1, 1, 4);
    grid->addWidget(lblFeed, 4, 0, 1, 5);
    connect(cmdPorts, &QPushButton::clicked, this, [this] { cmdPorts_Click(); });
    connect(cmdConnect, &QPushButton::clicked, this, [this] { cmdConnect_Click(); });
    return box;
}

QWidget* frmMachine::buildMotion() {
    auto* box = new QGroupBox(QStringLiteral("Перемещение и ноль"), this);
    auto* grid = new QGridLayout(box);
    cmdUnlock = button(box, "cmdUnlock", QStringLiteral("Разблокировать ($X)"));
    cmdHome = button(box, "cmdHome", QStringLiteral("Поиск нуля ($H)"));
    cmdReset = button(box, "cmdReset", QStringLiteral("Сброс"));
    grid->addWidget(cmdUnlock, 0, 0, 1, 2);
    grid->addWidget(cmdHome, 0, 2, 1, 2);
    grid->addWidget(cmdReset, 0, 4, 1, 2);
    const char* jogNames[] = {"cmdJogXMinus", "cmdJogXPlus",  "cmdJogYMinus",
                              "cmdJogYPlus",  "cmdJogZMinus", "cmdJogZPlus"};
    for (int i = 0; i < 6; ++i) {
        const QString text = QString(QChar("XYZ"[i / 2])) + (i % 2 ? "+" : "−");
        cmdJog[static_cast<std::size_t>(i)] = button(box, jogNames[i], text);
        grid->addWidget(cmdJog[static_cast<std::size_t>(i)], 1, i);
        connect(cmdJog[static_cast<std::size_t>(i)], &QPushButton::clicked, this,
                [this, i] { jog(i / 2, i % 2 ? 1 : -1); });
    }
    cboJogStep = new QComboBox(box);
    cboJogStep->setObjectName("cboJogStep");
    for (const char* step : {"0.1", "1", "10", "50"}) cboJogStep->addItem(QString(step));
    cboJogStep->setCurrentIndex(1);
    spnJogFeed = new QSpinBox(box);
    spnJogFeed->setObjectName("spnJogFeed");
    spnJogFeed->setRange(1, 20000);
    spnJogFeed->setValue(500);
    spnJogFeed->setSuffix(QStringLiteral(" мм/мин"));
    grid->addWidget(new QLabel(QStringLiteral("Шаг, мм"), box), 2, 0);
    grid->addWidget(cboJogStep, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Подача"), box), 2, 2);
    grid->addWidget(spnJogFeed, 2, 3, 1, 3);
    const char* zeroNames[] = {"cmdZeroX", "cmdZeroY", "cmdZeroZ", "cmdZeroAll"};
    const char* zeroAxes[] = {"X", "Y", "Z", "XYZ"};
    for (std::size_t i = 0; i < 4; ++i) {
        cmdZero[i] = button(
            box, zeroNames[i],
            i < 3 ? QStringLiteral("Ноль %1").arg(zeroAxes[i]) : QStringLiteral("Ноль всех"));
        cmdZero[i]->setToolTip(
            QStringLiteral("Текущее положение — ноль заготовки (G10 L20 P1); станок хранит его"));
        grid->addWidget(cmdZero[i], 3, static_cast<int>(i) + (i == 3 ? 2 : 0), 1, i == 3 ? 1 : 1);
        const std::string axes = zeroAxes[i];
        connect(cmdZero[i], &QPushButton::clicked, this, [this, axes] { setZero(axes); });
    }
    connect(cmdUnlock, &QPushButton::clicked, this, [this] { machine_->command("$X"); });
    connect(cmdHome, &QPushButton::clicked, this, [this] { machine_->command("$H"); });
    connect(cmdReset, &QPushButton::clicked, this, [this] { machine_->reset(); });
    return box;
}

QWidget* frmMachine::buildJob() {
    auto* box = new QGroupBox(QStringLiteral("Программа"), this);
    auto* grid = new QGridLayout(box);
    lblProgram = new QLabel(box);
    lblProgram->setObjectName("lblProgram");
    lblProgram->setWordWrap(true);
    cmdTakeProgram = button(box, "cmdTakeProgram", QStringLiteral("Взять из главного окна"));
    chkCheckFirst = new QCheckBox(QStringLiteral("Сначала проверить ($C)"), box);
    chkCheckFirst->setObjectName("chkCheckFirst");
    cmdFrame = button(box, "cmdFrame", QStringLiteral("Обвести"));
    cmdFrame->setToolTip(QStringLiteral("Пройти по краям программы на безопасной высоте"));
    spnFramePower = new QSpinBox(box);
    spnFramePower->setObjectName("spnFramePower");
    spnFramePower->setRange(0, 100000);
    spnFramePower->setValue(10);
    spnFramePower->setPrefix(QStringLiteral("лазер S"));
    spnFramePower->setToolTip(QStringLiteral("Мощность лазера при обводке (M3 S)"));
    spnFramePower->setVisible(false);  // for laser programs
    cmdStart = button(box, "cmdStart", QStringLiteral("Пуск"));
    cmdHold = button(box, "cmdHold", QStringLiteral("Пауза"));
    cmdResume = button(box, "cmdResume", QStringLiteral("Продолжить"));
    cmdStop = button(box, "cmdStop", QStringLiteral("Стоп"));
    cmdStop->setToolTip(QStringLiteral("Пауза, затем сброс: шпиндель и лазер выключаются"));
    spnFeedOverride = new QSpinBox(box);
    spnFeedOverride->setObjectName("spnFeedOverride");
    spnFeedOverride->setRange(10, 200);
    spnFeedOverride->setValue(100);
    spnFeedOverride->setPrefix(QStringLiteral("подача "));
    spnFeedOverride->setSuffix(QStringLiteral(" %"));
    spnSpindleOverride = new QSpinBox(box);
    spnSpindleOverride->setObjectName("spnSpindleOverride");
    spnSpindleOverride->setRange(10, 200);
    spnSpindleOverride->setValue(100);
    spnSpindleOverride->setPrefix(QStringLiteral("шпиндель "));
    spnSpindleOverride->setSuffix(QStringLiteral(" %"));
    prgJob = new QProgressBar(box);
    prgJob->setObjectName("prgJob");
    prgJob->setFormat(QStringLiteral("%v из %m строк"));
    lblTimeLeft = new QLabel(box);
    lblTimeLeft->setObjectName("lblTimeLeft");
    spnResumeLine = new QSpinBox(box);
    spnResumeLine->setObjectName("spnResumeLine");
    spnResumeLine->setPrefix(QStringLiteral("строка "));
    spnResumeLine->setRange(1, 1);
    lblResumeLine = new QLabel(box);
    lblResumeLine->setObjectName("lblResumeLine");
    cmdStrokeStart = button(box, "cmdStrokeStart", QStringLiteral("К началу буквы"));
    cmdResumeFrom = button(box, "cmdResumeFrom", QStringLiteral("Продолжить с этой строки"));
    cmdHeightMap = button(box, "cmdHeightMap", QStringLiteral("Карта высот…"));
    cmdHeightMap->setToolTip(
        QStringLiteral("Ноль Z щупом, измерение неровной заготовки и запись по её поверхности"));
    grid->addWidget(lblProgram, 0, 0, 1, 3);
    grid->addWidget(cmdTakeProgram, 0, 3);
    grid->addWidget(cmdFrame, 1, 0);
    grid->addWidget(spnFramePower, 1, 1);
    grid->addWidget(chkCheckFirst, 1, 2);
    grid->addWidget(cmdHeightMap, 1, 3);
    grid->addWidget(cmdStart, 2, 0);
    grid->addWidget(cmdHold, 2, 1);
    grid->addWidget(cmdResume, 2, 2);
    grid->addWidget(cmdStop, 2, 3);
    grid->addWidget(spnFeedOverride, 3, 0, 1, 2);
    grid->addWidget(spnSpindleOverride, 3, 2, 1, 2);
    grid->addWidget(prgJob, 4, 0, 1, 3);
    grid->addWidget(lblTimeLeft, 4, 3);
    grid->addWidget(spnResumeLine, 5, 0);
    grid->addWidget(lblResumeLine, 5, 1, 1, 3);
    grid->addWidget(cmdStrokeStart, 6, 0, 1, 2);
    grid->addWidget(cmdResumeFrom, 6, 2, 1, 2);
    connect(cmdTakeProgram, &QPushButton::clicked, this, [this] { cmdTakeProgram_Click(); });
    connect(cmdFrame, &QPushButton::clicked, this, [this] { cmdFrame_Click(); });
    connect(cmdStart, &QPushButton::clicked, this, [this] { cmdStart_Click(); });
    connect(cmdHold, &QPushButton::clicked, this,
            [this] { machine_->realtime(std::string(1, grbl::kFeedHold)); });
    connect(cmdResume, &QPushButton::clicked, this, [this] { cmdResume_Click(); });
    connect(cmdStop, &QPushButton::clicked, this, [this] { cmdStop_Click(); });
    connect(spnFeedOverride, &QSpinBox::valueChanged, this,
            [this](int v) { machine_->realtime(grbl::feedOverrideBytes(v)); });
    connect(spnSpindleOverride, &QSpinBox::valueChanged, this,
            [this](int v) { machine_->realtime(grbl::spindleOverrideBytes(v)); });
    connect(spnResumeLine, &QSpinBox::valueChanged, this, [this] { showResumeLine(); });
    connect(cmdStrokeStart, &QPushButton::clicked, this, [this] { cmdStrokeStart_Click(); });
    connect(cmdResumeFrom, &QPushButton::clicked, this, [this] { cmdResumeFrom_Click(); });
    connect(cmdHeightMap, &QPushButton::clicked, this, [this] { cmdHeightMap_Click(); });
    return box;
}

void frmMachine::wireMachine() {
    MachineConnection* m = machine_.get();
    connect(m, &MachineConnection::connected, this, [this] {
        confirmedSinceConnect_ = false;
        const GrblInfo& info = machine_->info();
        // "[VER:1.1h.20190830:]" when GRBL was on before the port opened.
        std::string version = info.version.substr(0, info.version.find(':'));
        log(cp("Подключено: ") + (info.banner.empty() ? "Grbl " + version : info.banner) +
            cp(". Ход станка: ") +
            (info.settings.travel() ? win1251::fromUtf8(QStringLiteral("X %1, Y %2, Z %3 мм")
                                                            .arg((*info.settings.travel())[0])
                                                            .arg((*info.settings.travel())[1])
                                                            .arg((*info.settings.travel())[2])
                                                            .toStdString())
                                    : cp("не известен")) +
            (info.settings.softLimits() ? cp(", программные ограничения включены.") : "."));
        if (program_) program_->plan(info.settings.limits());
        spnFramePower->setValue(static_cast<int>(info.settings.maxSpindle() / 100));
        updateControls();
    });
    connect(m, &MachineConnection::connectionFailed, this, [this](const std::string& message) {
        log(message);
        tell(message);
        updateControls();
    });
    connect(m, &MachineConnection::disconnected, this, [this](const std::string& reason) {
        // A lost link that stopped a job was told with the stop.
        if (!lossLogged_) log(reason);
        lossLogged_ = false;
        lblState->setText(QStringLiteral("Нет связи"));
        lblFeed->clear();
        updateControls();
    });
    connect(m, &MachineConnection::statusChanged, this, [this] { showStatus(); });
    connect(m, &MachineConnection::progress, this, [this](std::size_t done, std::size_t total) {
        if (!probing()) showProgress(done, total);
    });
    connect(m, &MachineConnection::jobFinished, this, [this] {
        if (probing()) return;  // the height map's window tells
        if (afterCheck_) {
            log(cp("Проверка в режиме $C прошла без ошибок."));
            MachineJob job = std::move(*afterCheck_);
            afterCheck_.reset();
            // GRBL resets when it leaves the check mode; the run starts once it is back.
            QMetaObject::invokeMethod(
                this, [this, job] { startJob(job); }, Qt::QueuedConnection);
            return;
        }
        log(framing_ ? cp("Обводка выполнена.") : cp("Программа выполнена."));
        if (running_) prgJob->setValue(prgJob->maximum());
        jobEnded(framing_ ? QStringLiteral("Обводка выполнена")
                          : QStringLiteral("Выполнено: %v из %m строк"));
    });
    connect(m, &MachineConnection::jobStopped, this, [this](const JobStop& stop) {
        afterCheck_.reset();
        log(stop.message);
        lossLogged_ = stop.why == JobStop::Why::Lost;
        if (probing()) return;  // the height map's window tells
        if (stop.why == JobStop::Why::Pause) {
            // The operator goes on with «Продолжить» from the line after it.
            pausedAt_ = stop.index + 1;
            spnResumeLine->setValue(static_cast<int>(stop.sourceLine));
            prgJob->setValue(static_cast<int>(stop.executed));
            jobEnded(QStringLiteral("Пауза: выполнено %v из %m строк"));
            tell(stop.message);
            return;
        }
        if (stop.why != JobStop::Why::User) tell(stop.message);
        // A resume starts at the letter the machine was writing: the line it
        // ran, not the lines GRBL had only taken.
        if (!framing_ && program_ && running_ == program_ && program_->size() > 0) {
            const std::size_t index = std::min(stop.executed, program_->size() - 1);
            spnResumeLine->setValue(
                static_cast<int>(program_->sourceLine(StrokeStart(*program_, index))));
        }
        if (running_) prgJob->setValue(static_cast<int>(std::min(stop.executed, running_->size())));
        jobEnded(framing_ ? QStringLiteral("Обводка остановлена")
                          : QStringLiteral("Остановлено: выполнено %v из %m строк"));
    });

    connect(m, &MachineConnection::alarm, this, [this](int code) { log(GrblAlarmText(code)); });
    connect(m, &MachineConnection::commandFailed, this, [this](const std::string& line, int code) {
        log(cp("Команда «") + line + cp("» не принята: ") + GrblErrorText(code));
    });
    connect(m, &MachineConnection::feedback, this, [this](const std::string& line) { log(line); });
    connect(m, &MachineConnection::watchdog, this, [this](bool silent) {
        log(silent ? cp("Станок не отвечает на запрос состояния больше 3 секунд: проверьте "
                        "кабель и питание.")
                   : cp("Станок снова отвечает."));
        lblState->setStyleSheet(silent ? QStringLiteral("color: red") : QString());
    });
}

void frmMachine::cmdPorts_Click() {
    const QString chosen = cboPort->currentText();
    cboPort->clear();
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts())
        cboPort->addItem(port.systemLocation());
    if (!chosen.isEmpty()) cboPort->setCurrentText(chosen);
}

void frmMachine::cmdConnect_Click() {
    if (machine_->isOpen()) {
        releaseMachine();
    } else {
        const QString port = cboPort->currentText().trimmed();
        if (port.isEmpty()) {
            tell(cp("Выберите порт станка."));
            return;
        }
        log(cp("Подключение к ") + fromQ(port) + "...");
        machine_->open(port, cboBaud->currentData().toInt());
    }
    updateControls();
}

void frmMachine::jog(int axis, int direction) {
    if (!machine_->isConnected() || machine_->jobRunning()) return;
    const double step = cboJogStep->currentText().toDouble() * direction;
    machine_->command("$J=G21G91" + std::string(1, "XYZ"[axis]) +
                      movenumber::fixedText(step, 3, true) + "F" +
                      std::to_string(spnJogFeed->value()));
}

void frmMachine::setZero(const std::string& axes) {
    if (!machine_->isConnected() || machine_->jobRunning()) return;
    std::string line = "G10L20P1";
    for (const char axis : axes) line += std::string(1, axis) + "0";
    machine_->command(line);
    log(cp("Ноль заготовки: ") + line);
}

void frmMachine::keyPressEvent(QKeyEvent* event) {
    static const std::pair<int, std::pair<int, int>> keys[] = {
        {Qt::Key_Left, {0, -1}}, {Qt::Key_Right, {0, 1}},     {Qt::Key_Down, {1, -1}},
        {Qt::Key_Up, {1, 1}},    {Qt::Key_PageDown, {2, -1}}, {Qt::Key_PageUp, {2, 1}}};
    for (const auto& [key, move] : keys) {
        if (event->key() != key) continue;
        event->accept();
        // One step a press: the key's repeats, and any key while one is held,
        // add nothing; a repeat's release-press pair keeps the key held.
        if (key == jogKey_) jogRelease_->stop();
        if (jogKey_ != 0 || event->isAutoRepeat()) return;
        jogKey_ = key;
        jog(move.first, move.second);
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmMachine::keyReleaseEvent(QKeyEvent* event) {
    if (jogKey_ != 0 && event->key() == jogKey_) {
        event->accept();
        if (!event->isAutoRepeat()) jogRelease_->start();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void frmMachine::closeEvent(QCloseEvent* event) {
    if (!releaseMachine()) {
        event->ignore();
        return;
    }
    event->accept();
}

bool frmMachine::probing() const { return heightMap_ != nullptr && heightMap_->probing(); }

bool frmMachine::machineBusy() const {
    const GrblStatus& s = machine_->status();
    return machine_->jobRunning() || s.state == "Run" || s.state == "Jog" || s.state == "Hold" ||
           s.state == "Home" || s.state == "Door" || s.spindle > 0 ||
           s.accessories.find_first_of("SC") != std::string::npos;
}

bool frmMachine::releaseMachine() {
    if (!machine_->isOpen()) return true;
    if (machine_->isConnected() && machineBusy()) {
        const bool program = machine_->jobRunning() && !framing_;
        const std::string question =
            cp(program                  ? "Станок выполняет программу («"
               : machine_->jobRunning() ? "Станок обводит программу («"
                                        : "Станок работает («") +
            StateText(machine_->status()) +
            cp("»). Остановить его и отключиться? Станок остановится плавно, затем будет "
               "сброшен: шпиндель и лазер выключатся.") +
            (program ? cp(" Продолжить программу можно будет с начала буквы.") : std::string());
        if (!dialogs().question(question, cp("Станок"), Dialogs::Answer::No)) return false;
        afterCheck_.reset();
        log(cp("Остановка станка перед отключением..."));
    }
    machine_->closeSafely();
    // Hold, reset and close take a few seconds at most; the link gives up on
    // its own after a bounded wait.
    QEventLoop wait;
    QTimer limit;
    limit.setSingleShot(true);
    connect(&limit, &QTimer::timeout, &wait, &QEventLoop::quit);
    connect(machine_.get(), &MachineConnection::disconnected, &wait, &QEventLoop::quit);
    connect(machine_.get(), &MachineConnection::connectionFailed, &wait, &QEventLoop::quit);
    limit.start(15000);
    if (machine_->isOpen()) wait.exec(QEventLoop::ExcludeUserInputEvents);
    if (machine_->isOpen()) machine_->close();
    updateControls();
    return true;
}

void frmMachine::showStatus() {
    const GrblStatus& s = machine_->status();
    lblState->setText(toQ(StateText(s)));
    lblPosition->setText(position(s.work));
    lblMachinePosition->setText(position(s.machine));
    QString feed = QStringLiteral("Подача %1 мм/мин, шпиндель %2, коррекция %3 % / %4 %")
                       .arg(s.feed)
                       .arg(s.spindle)
                       .arg(s.overrides[0])
                       .arg(s.overrides[2]);
    if (!s.pins.empty()) feed += QStringLiteral(", входы %1").arg(QString::fromStdString(s.pins));
    lblFeed->setText(feed);
    view->setToolPosition(s.work[0], s.work[1]);
    if (running_ && machine_->jobRunning())
        lblTimeLeft->setText(
            QStringLiteral("осталось %1")
                .arg(toQ(ClockText(SecondsLeft(*running_, executed_, s.overrides[0])))));
    updateControls();
}

void frmMachine::showProgress(std::size_t executed, std::size_t total) {
    executed_ = executed;
    prgJob->setMaximum(static_cast<int>(total));
    prgJob->setValue(static_cast<int>(executed));
}

void frmMachine::log(const std::string& text1251) { txtLog->appendPlainText(toQ(text1251)); }

void frmMachine::tell(const std::string& text1251) { dialogs().message(text1251, cp("Станок")); }

void frmMachine::updateControls() {
    const bool connected = machine_->isConnected();
    const bool running = machine_->jobRunning();
    const bool idle = connected && !running;
    const std::string& state = machine_->status().state;
    cmdConnect->setText(machine_->isOpen() ? QStringLiteral("Отключить")
                                           : QStringLiteral("Подключить"));
    cboPort->setEnabled(!machine_->isOpen());
    cboBaud->setEnabled(!machine_->isOpen());
    for (QPushButton* b : {cmdUnlock, cmdHome}) b->setEnabled(idle);
    cmdReset->setEnabled(connected);
    for (QPushButton* b : cmdJog) b->setEnabled(idle && state != "Alarm");
    for (QPushButton* b : cmdZero) b->setEnabled(idle && state == "Idle");
    cmdTakeProgram->setEnabled(!running);
    const bool runnable = idle && program_ && program_->size() > 0 && state == "Idle";
    cmdFrame->setEnabled(runnable);
    cmdStart->setEnabled(runnable);
    cmdHold->setEnabled(connected && (running || state == "Run" || state == "Jog"));
    cmdResume->setEnabled(connected &&
                          (state == "Hold" || (pausedAt_ && !running && state == "Idle")));
    cmdStop->setEnabled(connected);
    cmdResumeFrom->setEnabled(runnable);
    cmdStrokeStart->setEnabled(program_ && program_->size() > 0);
    spnResumeLine->setEnabled(program_ && program_->size() > 0);
}
