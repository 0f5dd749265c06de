#include "machine/GrblLink.h"

#include <QSerialPort>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "gcode/MoveNumber.h"
#include "lib/Win1251.h"
#include "machine/GrblLines.h"
#include "machine/GrblMessages.h"
#include "machine/GrblRealtime.h"
#include "machine/JobCheck.h"
#include "machine/PortAccess.h"
#include "machine/ResumePlan.h"

namespace {

// VEZOR_GRBL_TRACE=1 prints the conversation with GRBL on standard error.
const bool kTrace = qEnvironmentVariableIsSet("VEZOR_GRBL_TRACE");

void trace(const char* direction, std::string_view text) {
    if (!kTrace) return;
    std::string shown;
    for (const char c : text)
        shown += (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x80)
                     ? "<" + std::to_string(static_cast<unsigned char>(c)) + ">"
                     : std::string(1, c);
    std::fprintf(stderr, "%s %s\n", direction, shown.c_str());
}

constexpr auto kWakeQueryAfter = std::chrono::milliseconds(1000);
constexpr auto kWakeResetAfter = std::chrono::milliseconds(2500);
constexpr auto kWakeGiveUpAfter = std::chrono::milliseconds(6000);
constexpr auto kHoldGiveUpAfter = std::chrono::milliseconds(10000);
constexpr auto kResetGiveUpAfter = std::chrono::milliseconds(2000);
constexpr auto kProgressInterval = std::chrono::milliseconds(50);

bool isJog(std::string_view line) { return line.substr(0, 3) == "$J="; }

// Something moves, or may move on its own, or the spindle or laser is on.
bool busy(const GrblStatus& s) {
    return s.state == "Run" || s.state == "Jog" || s.state == "Hold" || s.state == "Home" ||
           s.state == "Door" || s.spindle > 0 ||
           s.accessories.find_first_of("SC") != std::string::npos;
}

}  // namespace

GrblLink::GrblLink(QObject* parent) : QObject(parent) {}

GrblLink::~GrblLink() { close(); }

void GrblLink::open(const QString& port, int baud) {
    close();
    portName_ = port;
    info_ = GrblInfo{};
    info_.port = port.toStdString();
    status_ = GrblStatus{};
    if (port.startsWith(QStringLiteral("tcp://"))) {
        openNetwork(port.mid(6));
        return;
    }
    auto* serial = new QSerialPort(this);
    serial->setPortName(port);
    serial->setBaudRate(baud);
    serial->setDataBits(QSerialPort::Data8);
    serial->setParity(QSerialPort::NoParity);
    serial->setStopBits(QSerialPort::OneStop);
    serial->setFlowControl(QSerialPort::NoFlowControl);
    const std::string name = port.toStdString();
    if (!serial->open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError error = serial->error();
        const std::string detail = win1251::fromUtf8(serial->errorString().toStdString());
        delete serial;
        if (error == QSerialPort::PermissionError) {
            emit connectionFailed(PortAccessAdvice(name));
        } else if (error == QSerialPort::DeviceNotFoundError) {
            emit connectionFailed(cp("Порт " + name +
                                     " не найден. Проверьте кабель и выберите "
                                     "порт из списка снова."));
        } else {
            emit connectionFailed(cp("Порт " + name + " не открывается: ") + detail);
        }
        return;
    }
    port_ = serial;
    network_ = false;
    connect(serial, &QSerialPort::readyRead, this, [this] { readInput(); });
    connect(serial, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        if (e == QSerialPort::ResourceError || e == QSerialPort::WriteError ||
            e == QSerialPort::ReadError)
            lose(cp("Связь со станком потеряна (кабель отключён или станок выключен)."));
    });
    startWaking();
}

void GrblLink::openNetwork(const QString& address) {
    const qsizetype colon = address.lastIndexOf(':');
    bool numeric = false;
    const int portNumber = colon > 0 ? address.mid(colon + 1).toInt(&numeric) : 0;
    if (colon <= 0 || !numeric || portNumber <= 0 || portNumber > 65535) {
        emit connectionFailed(
            cp("Адрес станка в сети записывается как tcp://УЗЕЛ:ПОРТ, "
               "например tcp://192.168.1.50:23."));
        return;
    }
    auto* socket = new QTcpSocket(this);
    port_ = socket;
    network_ = true;
    telnetSkip_ = 0;
    const std::string where = address.toStdString();
    connect(socket, &QTcpSocket::readyRead, this, [this] { readInput(); });
    connect(socket, &QTcpSocket::errorOccurred, this,
            [this, socket, where](QAbstractSocket::SocketError) {
                const std::string detail = win1251::fromUtf8(socket->errorString().toStdString());
                lose(phase_ == Phase::Waking
                         ? cp("Станок по адресу " + where + " не отвечает: ") + detail +
                               cp(". Проверьте адрес, порт и что станок в той же сети.")
                         : cp("Связь со станком по сети потеряна: ") + detail + ".");
            });
    // A socket takes bytes once connected: the status query waits for that.
    connect(socket, &QTcpSocket::connected, this,
            [this] { writeBytes(std::string(1, grbl::kStatusQuery)); });
    socket->connectToHost(address.left(colon), static_cast<quint16>(portNumber));
    startWaking();
}

void GrblLink::startWaking() {
    phase_ = Phase::Waking;
    openedAt_ = Clock::now();
    wakeQuerySent_ = wakeResetSent_ = false;
    querySince_.reset();
    silent_ = criticalAlarm_ = false;
    timer_ = new QTimer(this);
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, [this] { tick(); });
    timer_->start(kPollInterval);
    // A GRBL that was on before the port opened printed its banner already:
    // a status query tells it is there (a socket sends it once connected).
    if (!network_) writeBytes(std::string(1, grbl::kStatusQuery));
}

void GrblLink::close() {
    if (phase_ == Phase::Closed) return;
    forgetJob();
    phase_ = Phase::Closed;
    closeAfterStop_ = false;
    operatorStopAt_.reset();
    parking_ = false;
    delete timer_;
    timer_ = nullptr;
    if (port_ != nullptr) {
        port_->disconnect(this);
        port_->close();
        port_->deleteLater();
        port_ = nullptr;
    }
    input_.clear();
    inFlight_.clear();
    inFlightBytes_ = 0;
    commands_.clear();
    jogCancelsOwed_ = 0;
}

void GrblLink::closeSafely() {
    if (phase_ == Phase::Closed) return;
    if (phase_ != Phase::Ready || (!job_ && !busy(status_)) || criticalAlarm_) {
        close();
        emit disconnected(cp("Отключено."));
        return;
    }
    closeAfterStop_ = true;
    JobStop why;
    why.why = JobStop::Why::User;
    why.message = cp("Остановлено: связь со станком закрывается.");
    beginStop(why);
}

void GrblLink::lose(const std::string& reason) {
    if (phase_ == Phase::Closed) return;
    const bool wasWaking = phase_ == Phase::Waking;
    if (job_) {
        JobStop stop;
        stop.why = JobStop::Why::Lost;
        stop.message = reason;
        stop = stopWith(stop);
        job_.reset();
        emit jobStopped(stop);
    }
    close();
    if (wasWaking)
        emit connectionFailed(reason);
    else
        emit disconnected(reason);
}

void GrblLink::command(const std::string& line) {
    if (phase_ == Phase::Closed) return;
    commands_.emplace_back(line, Origin::Command);
    pump();
}

void GrblLink::realtime(const std::string& bytes) {
    if (phase_ == Phase::Closed) return;
    writeBytes(bytes);
}

void GrblLink::cancelJog() {
    if (phase_ == Phase::Closed) return;
    std::erase_if(commands_, [](const auto& c) { return isJog(c.first); });
    writeBytes(std::string(1, static_cast<char>(grbl::kJogCancel)));
    // A jog line GRBL has not answered yet may still be in its receive buffer,
    // where the cancel does not reach: it is cancelled again once taken.
    jogCancelsOwed_ = static_cast<std::size_t>(
        std::count_if(inFlight_.begin(), inFlight_.end(), [](const InFlight& f) { return f.jog; }));
}

void GrblLink::writeBytes(const std::string& bytes) {
    if (port_ == nullptr) return;
    if (auto* socket = qobject_cast<QTcpSocket*>(port_);
        socket != nullptr && socket->state() != QAbstractSocket::ConnectedState)
        return;
    if (bytes != "?") trace(">>", bytes);
    port_->write(bytes.data(), static_cast<qint64>(bytes.size()));
    if (auto* serial = qobject_cast<QSerialPort*>(port_))
        serial->flush();
    else if (auto* socket = qobject_cast<QTcpSocket*>(port_))
        socket->flush();
}

void GrblLink::startJob(const MachineJob& job) {
    if (phase_ != Phase::Ready || job_) {
        JobStop refused;
        refused.why = JobStop::Why::Lost;
        refused.message = cp("Станок не готов принять программу: дождитесь подключения.");
        emit jobStopped(refused);
        return;
    }
    job_ = job;
    if (job_->checkOnly) {
        job_->before.insert(job_->before.begin(), "$C");
        job_->after.emplace_back("$C");
    }
    if (job_->program && !job_->path && !job_->checkOnly)
        job_->path =
            std::make_shared<const ProgramPath>(*job_->program, MachineStartState(info_, status_));
    nextPosition_ = 0;
    acknowledged_ = executed_ = job_->from;
    lastProgressShown_ = static_cast<std::size_t>(-1);
    allAcknowledged_ = false;
    feeding_ = true;
    stopping_ = resetSent_ = false;
    pendingStop_.reset();
    if (jobLength() == 0) {
        job_.reset();
        emit jobFinished();
        return;
    }
    emitProgress(true);
    pump();
}

std::size_t GrblLink::jobLength() const {
    if (!job_) return 0;
    const std::size_t programLines =
        job_->program ? job_->program->size() - std::min(job_->from, job_->program->size()) : 0;
    return job_->before.size() + programLines + job_->after.size();
}

std::string GrblLink::jobLine(std::size_t position) const {
    if (position < job_->before.size()) return job_->before[position];
    position -= job_->before.size();
    const std::size_t programLines = jobLength() - job_->before.size() - job_->after.size();
    if (position < programLines) return std::string(job_->program->line(job_->from + position));
    return job_->after[position - programLines];
}

void GrblLink::pump() {
    if (port_ == nullptr) return;
    // Commands first: they are short and the window waits for them.
    while (!commands_.empty()) {
        if (!send(commands_.front().first, commands_.front().second, 0)) return;
        commands_.pop_front();
    }
    while (job_ && feeding_ && nextPosition_ < jobLength()) {
        std::string line = jobLine(nextPosition_);
        const bool inProgram = nextPosition_ >= job_->before.size() &&
                               nextPosition_ < jobLength() - job_->after.size();
        if (inProgram && OperatorStopIn(line)) {
            // Check mode only parses: a line that parses stands in for it.
            if (job_->checkOnly) {
                line = "G4P0";
            } else {
                operatorStopAt_ = nextPosition_;
                feeding_ = false;
                pauseForOperator();
                return;
            }
        }
        if (!send(line, Origin::Job, nextPosition_)) return;
        ++nextPosition_;
    }
}

void GrblLink::pauseForOperator() {
    if (!job_ || !operatorStopAt_) return;
    if (!parking_) {
        // Up, then the spindle off; the dwell's "ok" comes once everything
        // before it has run, so the job stops with the machine standing.
        parking_ = true;
        const ToolHandling tool = ReadToolHandling(*job_->program);
        commands_.emplace_back("G21G90", Origin::Internal);
        if (tool.usesZ)
            commands_.emplace_back("G0Z" + movenumber::fixedText(tool.safeZ, 3, true),
                                   Origin::Internal);
        commands_.emplace_back("M5", Origin::Internal);
        commands_.emplace_back("G4P0", Origin::Internal);
        pump();
        return;
    }
    if (!inFlight_.empty() || !commands_.empty()) return;
    const std::size_t position = *operatorStopAt_;
    const std::size_t index = job_->from + (position - job_->before.size());
    const OperatorStop why = *OperatorStopIn(jobLine(position));
    JobStop stop;
    stop.why = JobStop::Why::Pause;
    stop.code = why.m == 6 ? why.tool : -1;
    stop.inProgram = true;
    stop.index = index;
    stop.sourceLine = job_->program->sourceLine(index);
    stop.text = jobLine(position);
    const std::string line = std::to_string(stop.sourceLine);
    stop.message =
        why.m == 6
            ? cp("Смена инструмента (строка " + line + "): поставьте " +
                 (why.tool >= 0 ? "инструмент T" + std::to_string(why.tool)
                                : std::string("следующий инструмент")) +
                 ". Шпиндель выключен, инструмент поднят. Можно снять новый ноль Z щупом; затем "
                 "нажмите «Продолжить».")
            : cp("Пауза программы (M" + std::to_string(why.m) + ", строка " + line +
                 "): станок стоит, шпиндель выключен. Нажмите «Продолжить», чтобы продолжить.");
    stop = stopWith(stop);
    stop.executed = index;
    job_.reset();
    operatorStopAt_.reset();
    parking_ = false;
    emit jobStopped(stop);
}

bool GrblLink::send(const std::string& text, Origin origin, std::size_t position) {
    // Nothing goes out while GRBL writes its EEPROM, and such a line goes out
    // alone: bytes that come meanwhile are lost.
    if (!inFlight_.empty() && inFlight_.front().eeprom) return false;
    const bool eeprom = WritesGrblEeprom(text);
    if (eeprom && !inFlight_.empty()) return false;
    const std::size_t bytes = text.size() + 1;
    const std::size_t room = info_.receiveBuffer - 1;
    // A line that can never fit is refused by GRBL itself as too long.
    if (inFlightBytes_ + bytes > room && !inFlight_.empty()) return false;
    InFlight line{bytes,       origin, position, origin == Origin::Job ? std::string() : text,
                  isJog(text), eeprom};
    inFlight_.push_back(std::move(line));
    inFlightBytes_ += bytes;
    mostInFlight_ = std::max(mostInFlight_, inFlightBytes_);
    writeBytes(text + "\n");
    return true;
}

// A telnet server may open with its negotiation (IAC, 0xFF, and what follows):
// none of it is GRBL's.
std::string GrblLink::dropTelnetCommands(std::string bytes) {
    std::string kept;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (telnetSkip_ > 0) {
            --telnetSkip_;
            // WILL, WONT, DO, DONT take an option byte after them.
            if (telnetSkip_ == 0 && b >= 251 && b <= 254) telnetSkip_ = 1;
            continue;
        }
        if (b == 0xFF) {
            telnetSkip_ = 1;
            continue;
        }
        kept.push_back(c);
    }
    return kept;
}

void GrblLink::readInput() {
    if (port_ == nullptr) return;
    const std::string bytes = port_->readAll().toStdString();
    input_ += network_ ? dropTelnetCommands(bytes) : bytes;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = input_.find('\n', start);
        if (end == std::string::npos) break;
        const std::string_view line(input_.data() + start, end - start);
        start = end + 1;
        handleLine(line);
        if (port_ == nullptr) return;  // lost or closed meanwhile
    }
    input_.erase(0, start);
    // A partial line longer than any GRBL writes is noise.
    if (input_.size() > 4096) input_.clear();
    pump();
}

void GrblLink::handleLine(std::string_view text) {
    trace("<<", text);
    const GrblReply reply = ParseGrblReply(text);
    switch (reply.kind) {
        case GrblReplyKind::Ok:
            handleAcknowledgement(true, 0);
            break;
        case GrblReplyKind::Error:
            handleAcknowledgement(false, reply.code);
            break;
        case GrblReplyKind::Alarm:
            handleAlarm(reply.code);
            break;
        case GrblReplyKind::Status:
            handleStatus(reply.text);
            break;
        case GrblReplyKind::Banner:
            handleBanner(reply.text);
            break;
        case GrblReplyKind::Setting:
            info_.settings.values[reply.code] = reply.value;
            break;
        case GrblReplyKind::Feedback:
            handleFeedback(reply.text);
            break;
    }
}

void GrblLink::handleFeedback(const std::string& text) {
    if (text.empty()) return;
    if (text.rfind("[VER:", 0) == 0) {
        info_.version = text.substr(5, text.size() - 6);
        return;
    }
    const bool readingOffsets = std::any_of(
        inFlight_.begin(), inFlight_.end(),
        [](const InFlight& f) { return f.origin == Origin::Internal && f.text == "$#"; });
    if (text.rfind("[PRB:", 0) == 0 && !readingOffsets) {
        // "[PRB:x,y,z:1]": a probe cycle's end.
        std::array<double, 3> at{};
        const std::size_t flag = text.rfind(':');
        if (flag > 5) {
            GrblStatus parsed;
            ParseGrblStatus("<Idle|MPos:" + text.substr(5, flag - 5) + ">", parsed, toMm());
            at = parsed.machine;
        }
        emit probed(at, flag != std::string::npos && text.substr(flag + 1, 1) == "1");
        return;
    }
    if (ParseGrblOptions(text, info_.plannerBlocks, info_.receiveBuffer) ||
        ParseGrblOffsetLine(text, info_.offsets, toMm()) || ParseGrblModes(text, info_.modes))
        return;
    if (text.rfind("[MSG:", 0) == 0) {
        emit feedback(GrblMessageText(text));
        return;
    }
    if (text.front() == '[') {
        emit feedback(text);
        return;
    }
    // Pieces of a status report that noise on the line cut apart tell nothing.
    if (text.front() == '<' || text.back() == '>' || text.find("Pos:") != std::string::npos ||
        text.find('|') != std::string::npos)
        return;
    emit feedback(cp("Станок: ") + text);
}

void GrblLink::handleAcknowledgement(bool ok, int code) {
    if (inFlight_.empty()) return;  // an answer to a line sent before we connected
    const InFlight line = inFlight_.front();
    inFlight_.pop_front();
    inFlightBytes_ -= line.bytes;
    switch (line.origin) {
        case Origin::Internal: {
            if (parking_) {
                pauseForOperator();
                break;
            }
            const bool moreToRead =
                std::any_of(inFlight_.begin(), inFlight_.end(),
                            [](const InFlight& f) { return f.origin == Origin::Internal; }) ||
                std::any_of(commands_.begin(), commands_.end(),
                            [](const auto& c) { return c.second == Origin::Internal; });
            if (moreToRead) break;
            if (phase_ == Phase::Reading) {
                phase_ = Phase::Ready;
                emit connected(info_);
            } else if (phase_ == Phase::Ready) {
                emit infoChanged(info_);
            }
            break;
        }
        case Origin::Command:
            if (line.jog && jogCancelsOwed_ > 0) {
                --jogCancelsOwed_;
                writeBytes(std::string(1, static_cast<char>(grbl::kJogCancel)));
            }
            if (!ok) emit commandFailed(line.text, code);
            if (ok && ChangesGrblOffsets(line.text)) readOffsetsAgain();
            break;
        case Origin::Job:
            handleJobAcknowledgement(line, ok, code);
            break;
    }
}

void GrblLink::handleJobAcknowledgement(const InFlight& line, bool ok, int code) {
    if (!job_) return;
    const std::size_t programStart = job_->before.size();
    const std::size_t programEnd = jobLength() - job_->after.size();
    if (line.position >= programStart && line.position < programEnd)
        acknowledged_ = job_->from + (line.position - programStart) + 1;
    if (!ok) {
        if (!stopping_) beginStop(describeFailure(line.position, code));
        return;
    }
    if (line.position + 1 == jobLength()) allAcknowledged_ = true;
    // In check mode nothing moves: a line is done once it is parsed.
    if (job_->checkOnly) {
        executed_ = acknowledged_;
        emitProgress(allAcknowledged_);
    }
    // Leaving check mode resets GRBL: the job ends with its banner.
}

JobStop GrblLink::describeFailure(std::size_t position, int code) const {
    JobStop stop;
    stop.why = JobStop::Why::Error;
    stop.code = code;
    stop.text = jobLine(position);
    const std::size_t programStart = job_->before.size();
    const std::size_t programEnd = jobLength() - job_->after.size();
    std::string where;
    if (position >= programStart && position < programEnd) {
        stop.inProgram = true;
        stop.index = job_->from + (position - programStart);
        stop.sourceLine = job_->program->sourceLine(stop.index);
        where = cp("Строка " + std::to_string(stop.sourceLine) + " программы");
    } else {
        where = cp("Служебная строка");
    }
    stop.message = where + cp(" «") + stop.text + cp("» не принята: ") + GrblErrorText(code) +
                   cp(" Отправка остановлена.");
    return stop;
}

JobStop GrblLink::stopWith(JobStop stop) {
    stop.acknowledged = acknowledged_;
    stop.executed = executed_;
    return stop;
}

void GrblLink::handleStatus(std::string_view line) {
    ParseGrblStatus(line, status_, toMm());
    querySince_.reset();
    if (silent_) {
        silent_ = false;
        emit watchdog(false);
    }
    if (phase_ == Phase::Waking) {
        // GRBL answers: it was running before we opened the port.
        phase_ = Phase::Reading;
        for (const char* read : {"$$", "$I", "$#", "$G"})
            commands_.emplace_back(read, Origin::Internal);
        pump();
    }
    emit statusChanged(status_);
    followExecution();
    if (stopping_ && !resetSent_) {
        const bool stands = (status_.state == "Hold" && status_.subState == 0) ||
                            status_.state == "Alarm" || status_.state == "Door" ||
                            status_.state == "Check" || status_.state == "Sleep" ||
                            status_.state == "Idle";
        if (stands) sendReset();
    }
    if (job_ && !job_->checkOnly && allAcknowledged_ && !stopping_ && status_.state == "Idle")
        finishJobIfDone();
}

void GrblLink::followExecution() {
    if (!job_ || !job_->program || job_->checkOnly || !job_->path) return;
    const PathPoint at{status_.machine[0], status_.machine[1], status_.machine[2]};
    executed_ = std::max(
        executed_, job_->path->executingLine(job_->from, acknowledged_, info_.plannerBlocks, at));
    emitProgress(false);
}

void GrblLink::finishJobIfDone() {
    if (job_->program) executed_ = job_->program->size();
    emitProgress(true);
    job_.reset();
    emit jobFinished();
    readOffsetsAgain();
}

void GrblLink::handleBanner(const std::string& line) {
    info_.banner = line;
    criticalAlarm_ = false;
    // Whatever was in GRBL's buffer is gone.
    inFlight_.clear();
    inFlightBytes_ = 0;
    jogCancelsOwed_ = 0;
    if (phase_ == Phase::Waking || phase_ == Phase::Reading) {
        commands_.clear();
        phase_ = Phase::Reading;
        for (const char* read : {"$$", "$I", "$#", "$G"})
            commands_.emplace_back(read, Origin::Internal);
        info_.settings.values.clear();
        pump();
        return;
    }
    commands_.clear();
    stopping_ = false;
    resetSent_ = false;
    if (job_ && job_->checkOnly && allAcknowledged_ && !pendingStop_) {
        job_.reset();
        emit jobFinished();
        return;
    }
    if (job_) {
        JobStop stop;
        if (pendingStop_) {
            stop = *pendingStop_;
        } else {
            stop.why = JobStop::Why::Lost;
            stop.message = cp("Станок перезапустился во время работы: отправка остановлена.");
        }
        stop = stopWith(stop);
        job_.reset();
        pendingStop_.reset();
        operatorStopAt_.reset();
        parking_ = false;
        emit jobStopped(stop);
    }
    emit feedback(line);
    if (closeAfterStop_) {
        close();
        emit disconnected(cp("Отключено: станок остановлен, шпиндель и лазер выключены."));
        return;
    }
    // A reset clears G92 and the modes.
    readOffsetsAgain();
}

void GrblLink::handleAlarm(int code) {
    // GRBL empties its buffers: no answer comes for the lines in flight.
    inFlight_.clear();
    inFlightBytes_ = 0;
    commands_.clear();
    jogCancelsOwed_ = 0;
    criticalAlarm_ = code == 1 || code == 2 || code == 10;
    emit alarm(code);
    if (job_ && !resetSent_) {
        JobStop stop;
        stop.why = JobStop::Why::Alarm;
        stop.code = code;
        stop.message = GrblAlarmText(code) + cp(" Отправка остановлена.");
        stop = stopWith(stop);
        job_.reset();
        stopping_ = false;
        pendingStop_.reset();
        operatorStopAt_.reset();
        parking_ = false;
        emit jobStopped(stop);
    }
    // Nothing moves in an alarm, and the spindle is off.
    if (closeAfterStop_) {
        close();
        emit disconnected(cp("Отключено: станок в аварии, ничего не движется."));
    }
}

void GrblLink::stop() {
    if (phase_ == Phase::Closed) return;
    JobStop why;
    why.why = JobStop::Why::User;
    why.message = cp("Остановлено пользователем.");
    beginStop(why);
}

void GrblLink::beginStop(JobStop why) {
    feeding_ = false;
    commands_.clear();
    if (job_) pendingStop_ = why;
    if (stopping_) return;
    stopping_ = true;
    resetSent_ = false;
    stopSince_ = Clock::now();
    // Nothing moves in check mode or in an alarm: reset at once.
    if ((job_ && job_->checkOnly) || criticalAlarm_ || status_.state == "Alarm") {
        sendReset();
        return;
    }
    writeBytes(std::string(1, grbl::kFeedHold));
    writeBytes(std::string(1, grbl::kStatusQuery));
}

void GrblLink::reset() {
    if (phase_ == Phase::Closed) return;
    feeding_ = false;
    commands_.clear();
    if (job_ && !pendingStop_) {
        JobStop why;
        why.why = JobStop::Why::User;
        why.message = cp("Остановлено сбросом.");
        pendingStop_ = why;
    }
    stopping_ = true;
    sendReset();
}

void GrblLink::sendReset() {
    resetSent_ = true;
    resetSentAt_ = Clock::now();
    writeBytes(std::string(1, grbl::kSoftReset));
}

void GrblLink::forgetJob() {
    job_.reset();
    operatorStopAt_.reset();
    parking_ = false;
    pendingStop_.reset();
    stopping_ = resetSent_ = false;
    feeding_ = false;
}

void GrblLink::readOffsetsAgain() {
    if (phase_ != Phase::Ready || criticalAlarm_) return;
    commands_.emplace_back("$#", Origin::Internal);
    commands_.emplace_back("$G", Origin::Internal);
    pump();
}

void GrblLink::emitProgress(bool force) {
    if (!job_ || !job_->program) return;
    const auto now = Clock::now();
    if (!force && (executed_ == lastProgressShown_ || now - lastProgress_ < kProgressInterval))
        return;
    lastProgress_ = now;
    lastProgressShown_ = executed_;
    emit progress(executed_, job_->program->size());
}

void GrblLink::tick() {
    if (port_ == nullptr) return;
    const auto now = Clock::now();
    if (phase_ == Phase::Waking) {
        const auto waited = now - openedAt_;
        if (waited > kWakeGiveUpAfter) {
            const std::string name = portName_.toStdString();
            close();
            emit connectionFailed(cp("На порту " + name +
                                     " не отвечает GRBL. Проверьте, что выбран порт станка и "
                                     "скорость (обычно 115200), и что станок включён."));
        } else if (waited > kWakeResetAfter && !wakeResetSent_) {
            wakeResetSent_ = true;
            writeBytes(std::string(1, grbl::kSoftReset));
        } else if (waited > kWakeQueryAfter && !wakeQuerySent_) {
            wakeQuerySent_ = true;
            writeBytes(std::string(1, grbl::kStatusQuery));
        }
        return;
    }
    if (stopping_ && !resetSent_ && now - stopSince_ > kHoldGiveUpAfter) sendReset();
    // Leaving: a reset that brought no banner in time still leaves.
    if (closeAfterStop_ && resetSent_ && now - resetSentAt_ > kResetGiveUpAfter) {
        close();
        emit disconnected(cp("Отключено: станок не подтвердил сброс, проверьте, что он стоит."));
        return;
    }
    // GRBL drops a reset that comes before its critical alarm's "Reset to
    // continue": one that brought no banner is sent again.
    if (criticalAlarm_ && resetSent_ && now - resetSentAt_ > std::chrono::milliseconds(500))
        sendReset();
    if (criticalAlarm_) return;  // GRBL answers nothing until it is reset
    if (!querySince_) {
        querySince_ = now;
    } else if (!silent_ && now - *querySince_ > kWatchdog) {
        silent_ = true;
        emit watchdog(true);
    }
    writeBytes(std::string(1, grbl::kStatusQuery));
}
