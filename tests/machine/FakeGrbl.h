#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// A scripted GRBL 1.1 behind a pseudo-terminal pair: the sender opens port()
// as a serial port; a thread answers on the other side as GRBL does (banner,
// "$$", "$I", "ok", status reports, real-time bytes), runs each move for a set
// time through a planner of 15 blocks, and counts what a test checks: the most
// line bytes waiting in its 128-byte receive buffer, and the times its planner
// ran empty between two moves.
class FakeGrbl {
  public:
    struct Options {
        std::chrono::microseconds moveTime{2000};
        std::size_t plannerBlocks = 15;
        std::size_t receiveBuffer = 128;
        bool bannerAtStart = true;
        bool keepLines = true;  // false: lines() stays empty (a million-line stream)
        // grblHAL's or FluidNC's banner instead of GRBL 1.1h's.
        std::string banner = "Grbl 1.1h ['$' for help]";
        // How long a line waits in the receive buffer before it is parsed,
        // as on a controller busy with something else.
        std::chrono::microseconds parseTime{0};
        // How long an EEPROM write (G10, $n=...) keeps the serial line deaf:
        // bytes that come meanwhile are lost, as on the AVR.
        std::chrono::microseconds eepromTime{20000};
        bool reportInches = false;  // $13=1: positions in inches
        // The top of a flat work piece in machine Z, for G38.2; none: nothing to touch.
        std::optional<double> surfaceZ;
    };

    FakeGrbl();
    explicit FakeGrbl(Options options);
    ~FakeGrbl();
    FakeGrbl(const FakeGrbl&) = delete;
    FakeGrbl& operator=(const FakeGrbl&) = delete;

    const std::string& port() const { return port_; }

    // Scripts: the first line equal to `line` is answered with error:code, or
    // raises ALARM:code (then nothing is answered until a reset, as GRBL does).
    void failLine(const std::string& line, int code);
    void alarmOnLine(const std::string& line, int code);
    // Stops answering status queries (true) or answers again.
    void setSilent(bool silent);
    // The cable pulled: the port goes away.
    void hangUp();
    void setSetting(int number, double value);

    // What happened, read at any time.
    std::vector<std::string> lines() const;  // every line received, in order
    // The same without the sender's own readings ("$$", "$I", "$#", "$G").
    std::vector<std::string> programLines() const;
    std::string realtimeBytes() const;  // every real-time byte, in order
    std::size_t mostBufferedBytes() const { return mostBuffered_; }
    std::size_t underruns() const { return underruns_; }
    std::size_t movesDone() const { return movesDone_; }
    // Bytes that came while an EEPROM write kept the line deaf.
    std::size_t lostBytes() const { return lostBytes_; }
    std::string state() const;
    std::array<double, 3> position() const;

  private:
    void run();
    void receive(const char* bytes, std::size_t size);
    void realtime(char byte);
    void processLines();
    bool execute(const std::string& line);  // false: wait for room in the planner
    void advance();
    void write(const std::string& text);
    std::string statusReport() const;
    void resetMachine();

    Options options_;
    std::string port_;
    int master_ = -1;
    int slave_ = -1;
    std::thread thread_;
    std::atomic<bool> quit_{false};
    std::atomic<bool> hungUp_{false};

    mutable std::mutex mutex_;
    std::string rx_;
    std::vector<std::string> received_;
    std::string realtime_;
    std::map<std::string, int> failures_;
    std::map<std::string, int> alarms_;
    std::map<int, double> settings_;
    bool silent_ = false;
    bool critical_ = false;
    bool hold_ = false;
    bool checkMode_ = false;
    bool alarmState_ = false;
    bool jogging_ = false;
    std::deque<std::array<double, 3>> planner_;
    std::chrono::steady_clock::time_point moveEnds_{};
    bool moving_ = false;
    bool emptiedAfterMove_ = false;
    bool incremental_ = false;
    std::array<double, 3> position_{};
    std::array<double, 3> target_{};  // where the last planned move ends
    std::array<double, 3> offset_{};
    std::atomic<std::size_t> mostBuffered_{0};
    std::atomic<std::size_t> underruns_{0};
    std::atomic<std::size_t> movesDone_{0};
    std::atomic<std::size_t> lostBytes_{0};
    std::chrono::steady_clock::time_point deafUntil_{};
    bool okOwed_ = false;  // the EEPROM line's "ok", once the write is done
    std::chrono::steady_clock::time_point parseAt_{};
};
