#include "FakeGrbl.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace {

// Whatever the process's locale: a test may run the window under a Russian one.
// GRBL gives millimetres to 3 decimals, inches to 4.
std::string number(double v, int decimals = 3) {
    char buffer[64];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, decimals);
    return std::string(buffer, end.ptr);
}

bool writesEeprom(const std::string& line) {
    if (line.rfind("G10", 0) == 0 || line.find("G28.1") != std::string::npos ||
        line.find("G30.1") != std::string::npos)
        return true;
    return line.size() > 2 && line[0] == '$' && std::isdigit(static_cast<unsigned char>(line[1])) &&
           line.find('=') != std::string::npos;
}

// The number after `letter` in a G-code line; false when there is none.
bool word(const std::string& line, char letter, double& value) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(line[i])) != letter) continue;
        const char* begin = line.c_str() + i + 1;
        const auto read = std::from_chars(begin, line.c_str() + line.size(), value);
        if (read.ptr != begin) return true;
    }
    return false;
}

}  // namespace

FakeGrbl::FakeGrbl() : FakeGrbl(Options{}) {}

FakeGrbl::FakeGrbl(Options options) : options_(options) {
    termios raw{};
    cfmakeraw(&raw);
    char name[256] = {};
    if (openpty(&master_, &slave_, name, &raw, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    port_ = name;
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    for (const auto& [n, v] : std::map<int, double>{
             {0, 10},    {1, 25},    {10, 1},    {11, 0.01}, {20, 0},    {21, 0},
             {22, 0},    {23, 0},    {30, 1000}, {32, 0},    {100, 250}, {101, 250},
             {102, 250}, {110, 500}, {111, 500}, {112, 500}, {120, 10},  {121, 10},
             {122, 10},  {130, 200}, {131, 200}, {132, 200}})
        settings_[n] = v;
    settings_[13] = options_.reportInches ? 1 : 0;
    if (options_.bannerAtStart) write("\r\n" + options_.banner + "\r\n");
    thread_ = std::thread([this] { run(); });
}

FakeGrbl::~FakeGrbl() {
    quit_ = true;
    if (thread_.joinable()) thread_.join();
    if (master_ >= 0) ::close(master_);
    if (slave_ >= 0) ::close(slave_);
}

void FakeGrbl::failLine(const std::string& line, int code) {
    const std::lock_guard lock(mutex_);
    failures_[line] = code;
}

void FakeGrbl::alarmOnLine(const std::string& line, int code) {
    const std::lock_guard lock(mutex_);
    alarms_[line] = code;
}

void FakeGrbl::setSilent(bool silent) {
    const std::lock_guard lock(mutex_);
    silent_ = silent;
}

void FakeGrbl::setSetting(int n, double value) {
    const std::lock_guard lock(mutex_);
    settings_[n] = value;
}

void FakeGrbl::hangUp() {
    hungUp_ = true;
    thread_.join();
    const std::lock_guard lock(mutex_);
    ::close(master_);
    master_ = -1;
    ::close(slave_);
    slave_ = -1;
}

std::vector<std::string> FakeGrbl::lines() const {
    const std::lock_guard lock(mutex_);
    return received_;
}

std::vector<std::string> FakeGrbl::programLines() const {
    std::vector<std::string> lines = this->lines();
    std::erase_if(lines, [](const std::string& l) {
        return l == "$$" || l == "$I" || l == "$#" || l == "$G";
    });
    return lines;
}

std::string FakeGrbl::realtimeBytes() const {
    const std::lock_guard lock(mutex_);
    return realtime_;
}

std::string FakeGrbl::state() const {
    const std::lock_guard lock(mutex_);
    if (alarmState_) return "Alarm";
    if (hold_) return "Hold";
    if (checkMode_) return "Check";
    if (moving_ || !planner_.empty()) return jogging_ ? "Jog" : "Run";
    return "Idle";
}

std::array<double, 3> FakeGrbl::position() const {
    const std::lock_guard lock(mutex_);
    return position_;
}

void FakeGrbl::run() {
    char buffer[512];
    while (!quit_ && !hungUp_) {
        pollfd p{master_, POLLIN, 0};
        ::poll(&p, 1, 1);
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        const std::lock_guard lock(mutex_);
        const auto now = std::chrono::steady_clock::now();
        if (n > 0) {
            if (now < deafUntil_)
                lostBytes_ += static_cast<std::size_t>(n);
            else
                receive(buffer, static_cast<std::size_t>(n));
        }
        if (okOwed_ && now >= deafUntil_) {
            okOwed_ = false;
            write("ok\r\n");
        }
        advance();
        if (now >= deafUntil_) processLines();
    }
}

void FakeGrbl::receive(const char* bytes, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        const char c = bytes[i];
        const auto b = static_cast<unsigned char>(c);
        if (c == '?' || c == '!' || c == '~' || c == 0x18 || b >= 0x80) {
            realtime(c);
            continue;
        }
        if (critical_) continue;
        if (rx_.empty()) parseAt_ = std::chrono::steady_clock::now() + options_.parseTime;
        rx_.push_back(c);
        std::size_t waiting = rx_.size();
        if (waiting > mostBuffered_) mostBuffered_ = waiting;
    }
}

void FakeGrbl::realtime(char c) {
    realtime_.push_back(c);
    switch (c) {
        case '?':
            if (!silent_ && !critical_) write(statusReport());
            break;
        case '!':
            if (!alarmState_ && !checkMode_) hold_ = true;
            break;
        case '~':
            hold_ = false;
            break;
        case 0x18:
            resetMachine();
            break;
        default:
            if (static_cast<unsigned char>(c) == 0x85 && jogging_) {
                planner_.clear();
                moving_ = false;
                jogging_ = false;
            }
            break;
    }
}

void FakeGrbl::resetMachine() {
    rx_.clear();
    okOwed_ = false;
    planner_.clear();
    if (moving_ && !hold_) alarmState_ = true;  // reset in motion loses the position
    moving_ = false;
    hold_ = false;
    critical_ = false;
    checkMode_ = false;
    jogging_ = false;
    emptiedAfterMove_ = false;
    incremental_ = false;
    target_ = position_;
    write("\r\n" + options_.banner + "\r\n");
    if (alarmState_) write("[MSG:'$H'|'$X' to unlock]\r\n");
}

void FakeGrbl::processLines() {
    while (!critical_ && !okOwed_) {
        const std::size_t end = rx_.find('\n');
        if (end == std::string::npos) return;
        const auto now = std::chrono::steady_clock::now();
        if (now < parseAt_) return;
        std::string line = rx_.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!execute(line)) return;
        rx_.erase(0, end + 1);
        parseAt_ = now + options_.parseTime;
    }
}

bool FakeGrbl::execute(const std::string& line) {
    const bool motion =
        !line.empty() && line[0] != '$' && (line.find_first_of("XYZxyz") != std::string::npos);
    const bool jog = line.rfind("$J=", 0) == 0;
    if ((motion || jog) && !checkMode_ && !alarmState_ && planner_.size() >= options_.plannerBlocks)
        return false;
    // A dwell, a spindle change and a probe cycle wait for the moves before
    // them, as in GRBL.
    const bool syncs =
        line.find("G4") != std::string::npos || line.find("M3") != std::string::npos ||
        line.find("M4") != std::string::npos || line.find("M5") != std::string::npos ||
        line.find("G38") != std::string::npos;
    if (syncs && !line.empty() && line[0] != '$' && !checkMode_ && !alarmState_ &&
        (!planner_.empty() || moving_))
        return false;
    if (options_.keepLines) received_.push_back(line);
    if (const auto it = failures_.find(line); it != failures_.end()) {
        write("error:" + std::to_string(it->second) + "\r\n");
        failures_.erase(it);
        return true;
    }
    if (const auto it = alarms_.find(line); it != alarms_.end()) {
        const int code = it->second;
        alarms_.erase(it);
        rx_.clear();
        planner_.clear();
        moving_ = false;
        alarmState_ = true;
        critical_ = code == 1 || code == 2;
        write("ALARM:" + std::to_string(code) + "\r\n");
        if (critical_) write("[MSG:Reset to continue]\r\n");
        return false;
    }
    if (writesEeprom(line)) {
        // Answered once the write is done; meanwhile the line is deaf.
        deafUntil_ = std::chrono::steady_clock::now() + options_.eepromTime;
        okOwed_ = true;
        if (line[0] == '$') {
            double value = 0;
            const char* at = line.c_str() + line.find('=') + 1;
            std::from_chars(at, line.c_str() + line.size(), value);
            settings_[std::atoi(line.c_str() + 1)] = value;
        } else if (line.rfind("G10L20P1", 0) == 0 || line.rfind("G10L20P0", 0) == 0) {
            const char axes[] = {'X', 'Y', 'Z'};
            for (std::size_t k = 0; k < 3; ++k) {
                double v = 0;
                if (word(line.substr(8), axes[k], v)) offset_[k] = target_[k] - v;
            }
        }
        return true;
    }
    if (!line.empty() && line[0] != '$') {
        if (line.find("G91") != std::string::npos) incremental_ = true;
        if (line.find("G90") != std::string::npos && line.find("G90.1") == std::string::npos)
            incremental_ = false;
    }
    if (line.find("G38.2") != std::string::npos && !checkMode_ && !alarmState_) {
        // Down until it touches, at once.
        double v = 0;
        word(line.substr(line.find("G38.2") + 5), 'Z', v);
        const double bottom = incremental_ ? target_[2] + v : v + offset_[2];
        if (!options_.surfaceZ || *options_.surfaceZ < bottom) {
            position_[2] = target_[2] = bottom;
            alarmState_ = true;
            rx_.clear();
            write("ALARM:5\r\n");
            return false;
        }
        position_[2] = target_[2] = *options_.surfaceZ;
        write("[PRB:" + number(position_[0]) + "," + number(position_[1]) + "," +
              number(position_[2]) + ":1]\r\nok\r\n");
        return true;
    }
    const double scale = options_.reportInches ? 1 / 25.4 : 1;
    if (line == "$$") {
        for (const auto& [n, v] : settings_)
            write("$" + std::to_string(n) + "=" + number(v) + "\r\n");
    } else if (line == "$I") {
        write("[VER:1.1h.20190830:]\r\n[OPT:V," + std::to_string(options_.plannerBlocks) + "," +
              std::to_string(options_.receiveBuffer) + "]\r\n");
    } else if (line == "$#") {
        const int decimals = options_.reportInches ? 4 : 3;
        write("[G54:" + number(offset_[0] * scale, decimals) + "," +
              number(offset_[1] * scale, decimals) + "," + number(offset_[2] * scale, decimals) +
              "]\r\n");
        for (const char* rest : {"G55", "G56", "G57", "G58", "G59", "G28", "G30", "G92"})
            write("[" + std::string(rest) + ":0.000,0.000,0.000]\r\n");
        write("[TLO:0.000]\r\n[PRB:0.000,0.000,0.000:0]\r\n");
    } else if (line == "$G") {
        write("[GC:G0 G54 G17 G21 G90 G94 M5 M9 T0 F0 S0]\r\n");
    } else if (line == "$X") {
        alarmState_ = false;
        write("[MSG:Caution: Unlocked]\r\n");
    } else if (line == "$C") {
        checkMode_ = !checkMode_;
        write(checkMode_ ? "[MSG:Enabled]\r\n" : "[MSG:Disabled]\r\n");
        if (!checkMode_) {
            write("ok\r\n");
            rx_.erase(0, rx_.find('\n') + 1);
            resetMachine();
            return false;
        }
    } else if (alarmState_ && !line.empty() && line[0] != '$') {
        write("error:9\r\n");
        return true;
    } else if ((motion || jog) && !checkMode_) {
        if (line.find("G91") != std::string::npos) incremental_ = true;
        if (line.find("G90") != std::string::npos) incremental_ = false;
        const char axes[] = {'X', 'Y', 'Z'};
        std::array<double, 3> to = target_;
        for (std::size_t k = 0; k < 3; ++k) {
            double v = 0;
            if (word(jog ? line.substr(3) : line, axes[k], v))
                to[k] = incremental_ ? target_[k] + v : v + offset_[k];
        }
        if (jog) {
            jogging_ = true;
            incremental_ = false;  // $J= modes last one line
        }
        if (emptiedAfterMove_ && planner_.empty() && !moving_) ++underruns_;
        emptiedAfterMove_ = false;
        planner_.push_back(to);
        target_ = to;
    }
    write("ok\r\n");
    return true;
}

void FakeGrbl::advance() {
    const auto now = std::chrono::steady_clock::now();
    if (hold_) return;  // stops at once; the move under way ends after the resume
    if (moving_ && now >= moveEnds_) {
        position_ = planner_.front();
        planner_.pop_front();
        moving_ = false;
        ++movesDone_;
        if (planner_.empty()) {
            emptiedAfterMove_ = true;
            jogging_ = false;
        }
    }
    if (!moving_ && !planner_.empty()) {
        moving_ = true;
        moveEnds_ = now + options_.moveTime;
    }
}

void FakeGrbl::write(const std::string& text) {
    if (master_ < 0) return;
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(master_, text.data() + done, text.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else {
            pollfd p{master_, POLLOUT, 0};
            if (::poll(&p, 1, 100) <= 0) return;
        }
    }
}

std::string FakeGrbl::statusReport() const {
    std::string s = "<";
    if (alarmState_) {
        s += "Alarm";
    } else if (hold_) {
        s += "Hold:0";
    } else if (checkMode_) {
        s += "Check";
    } else if (moving_ || !planner_.empty()) {
        s += jogging_ ? "Jog" : "Run";
    } else {
        s += "Idle";
    }
    const double scale = options_.reportInches ? 1 / 25.4 : 1;
    const int decimals = options_.reportInches ? 4 : 3;
    s += "|MPos:" + number(position_[0] * scale, decimals) + "," +
         number(position_[1] * scale, decimals) + "," + number(position_[2] * scale, decimals);
    s += "|Bf:" + std::to_string(options_.plannerBlocks - planner_.size()) + "," +
         std::to_string(options_.receiveBuffer - rx_.size());
    s += "|FS:500,0|WCO:" + number(offset_[0] * scale, decimals) + "," +
         number(offset_[1] * scale, decimals) + "," + number(offset_[2] * scale, decimals) +
         "|Ov:100,100,100>\r\n";
    return s;
}
