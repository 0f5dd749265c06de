#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

// Lets pending window events run from inside a long loop, every few tens of
// milliseconds rather than after every record. Without a callback it does nothing.
class EventPump {
  public:
    explicit EventPump(std::function<void()> pump = {},
                       std::chrono::milliseconds interval = std::chrono::milliseconds(30))
        : pump_(std::move(pump)), interval_(interval), last_(Clock::now()) {}

    void tick() {
        if (!pump_ || (++count_ & 0xFF) != 0) return;
        const auto now = Clock::now();
        if (now - last_ < interval_) return;
        last_ = now;
        pump_();
    }

  private:
    using Clock = std::chrono::steady_clock;
    std::function<void()> pump_;
    std::chrono::milliseconds interval_;
    Clock::time_point last_;
    std::uint32_t count_ = 0;
};
