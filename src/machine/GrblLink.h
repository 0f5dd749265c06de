#pragma once

#include <QObject>
#include <QString>
#include <chrono>
#include <cstddef>
#include <deque>
#include <optional>
#include <string>

#include "machine/GrblReplies.h"
#include "machine/MachineJob.h"

class QIODevice;
class QSerialPort;
class QTcpSocket;
class QTimer;

// GRBL 1.1 (and grblHAL, FluidNC) on a serial port, or over the network as
// "tcp://HOST:PORT" (raw telnet, as FluidNC, grblHAL and ESP3D offer it), with
// the same streaming, status and safety. Lives on a thread of its
// own, so that no window work can hold up the stream. Lines go out by
// character counting: never more line bytes unanswered than the controller's
// receive buffer holds (one byte less, as a margin), each "ok" or "error:N"
// matched to its line in order; a line that writes the controller's EEPROM
// goes out alone, since the controller hears nothing while it writes.
// Real-time bytes go out at once, outside the count. Status is asked for
// five times a second; from the position it gives and the lines taken, the
// sender tells which program line the machine runs. A program line that
// stops for its operator (M6, M0, M1) is never sent: the job stops there once
// the machine has run the lines before it, the tool lifted to the program's
// safe height and the spindle off. Call it only through its thread
// (MachineConnection does).
class GrblLink final : public QObject {
    Q_OBJECT
  public:
    static constexpr std::chrono::milliseconds kPollInterval{200};
    static constexpr std::chrono::milliseconds kWatchdog{3000};

    explicit GrblLink(QObject* parent = nullptr);
    ~GrblLink() override;

    // A serial port's name, or "tcp://HOST:PORT".
    void open(const QString& port, int baud);
    void close();
    // Leaves the machine standing with nothing on before the port closes:
    // where anything moves or runs, a feed hold, then, once it stands, a soft
    // reset (spindle and laser off, the position kept), then the port closes
    // (within a bounded time whatever happens); `disconnected` tells.
    void closeSafely();
    // A line for GRBL ($X, $H, $J=..., G10 ...), queued behind the lines in flight.
    void command(const std::string& line);
    void realtime(const std::string& bytes);
    // Stops jogging now: jog cancel, every jog line not yet sent dropped, and
    // one sent but not yet answered cancelled again once GRBL has taken it.
    void cancelJog();
    void startJob(const MachineJob& job);
    // Feed hold, then, once the machine stands, a soft reset (spindle and laser
    // off; the position is kept).
    void stop();
    // A soft reset now (after an alarm).
    void reset();

    // The most line bytes that were ever unanswered at once.
    std::size_t mostBytesInFlight() const { return mostInFlight_; }

  signals:
    void connected(const GrblInfo& info);
    // "$#" or "$G" was read again (after a reset, a job or a new work zero).
    void infoChanged(const GrblInfo& info);
    void connectionFailed(const std::string& message);
    void disconnected(const std::string& reason);
    void statusChanged(const GrblStatus& status);
    // Program lines the machine has run (not only taken), of the program's lines.
    void progress(std::size_t executed, std::size_t total);
    void jobFinished();
    void jobStopped(const JobStop& stop);
    void alarm(int code);
    void commandFailed(const std::string& command, int code);
    // A message of the controller for the log, in Russian where it is known.
    void feedback(const std::string& line);
    // A probe cycle (G38.2, G38.3) ended: where it stopped, in machine
    // coordinates, and whether it touched.
    void probed(const std::array<double, 3>& machine, bool touched);
    // True when GRBL has not answered a status query for kWatchdog; false when
    // it answers again.
    void watchdog(bool silent);

  private:
    using Clock = std::chrono::steady_clock;
    enum class Phase { Closed, Waking, Reading, Ready };
    enum class Origin { Command, Internal, Job };
    struct InFlight {
        std::size_t bytes;
        Origin origin;
        std::size_t position;  // in the job's sequence
        std::string text;      // of a command
        bool jog = false;
        bool eeprom = false;
    };

    void openNetwork(const QString& address);
    void startWaking();
    void readInput();
    std::string dropTelnetCommands(std::string bytes);
    void pauseForOperator();
    void handleLine(std::string_view line);
    void handleFeedback(const std::string& text);
    void handleAcknowledgement(bool ok, int code);
    void handleJobAcknowledgement(const InFlight& line, bool ok, int code);
    void handleStatus(std::string_view line);
    void handleBanner(const std::string& line);
    void handleAlarm(int code);
    void tick();
    void pump();
    bool send(const std::string& text, Origin origin, std::size_t position);
    void writeBytes(const std::string& bytes);
    void lose(const std::string& reason);
    void forgetJob();
    void beginStop(JobStop why);
    void sendReset();
    void finishJobIfDone();
    void followExecution();
    void emitProgress(bool force);
    void readOffsetsAgain();
    std::size_t jobLength() const;
    std::string jobLine(std::size_t position) const;
    JobStop describeFailure(std::size_t position, int code) const;
    JobStop stopWith(JobStop stop);
    double toMm() const { return info_.settings.reportsInches() ? 25.4 : 1.0; }

    QIODevice* port_ = nullptr;  // the serial port or the socket
    bool network_ = false;
    int telnetSkip_ = 0;  // bytes of a telnet command still to drop
    QTimer* timer_ = nullptr;
    Phase phase_ = Phase::Closed;
    QString portName_;
    std::string input_;
    GrblInfo info_;
    GrblStatus status_;

    std::deque<InFlight> inFlight_;
    std::size_t inFlightBytes_ = 0;
    std::size_t mostInFlight_ = 0;
    std::deque<std::pair<std::string, Origin>> commands_;
    std::size_t jogCancelsOwed_ = 0;

    std::optional<MachineJob> job_;
    std::size_t nextPosition_ = 0;  // next job line to send
    std::size_t acknowledged_ = 0;  // program lines taken
    std::size_t executed_ = 0;      // program lines run
    bool allAcknowledged_ = false;  // waits for the machine to stand still
    bool feeding_ = false;          // job lines may go out
    Clock::time_point lastProgress_{};
    std::size_t lastProgressShown_ = static_cast<std::size_t>(-1);

    // Stopping: hold sent, waiting for the machine to stand; then reset.
    bool stopping_ = false;
    bool resetSent_ = false;
    Clock::time_point stopSince_{};
    Clock::time_point resetSentAt_{};
    std::optional<JobStop> pendingStop_;
    bool closeAfterStop_ = false;
    // A line that stops for the operator: the machine runs what it took,
    // then is parked (up, spindle off) before the job stops.
    std::optional<std::size_t> operatorStopAt_;  // job position
    bool parking_ = false;

    Clock::time_point openedAt_{};
    bool wakeQuerySent_ = false;
    bool wakeResetSent_ = false;
    std::optional<Clock::time_point> querySince_;
    bool silent_ = false;
    bool criticalAlarm_ = false;  // GRBL answers nothing until a reset
};
