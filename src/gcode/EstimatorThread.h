#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "gcode/GCodeEstimate.h"
#include "gcode/GCodeSink.h"

// An estimator planning on a thread of its own, fed in batches: whoever makes
// the program's lines goes on with the next ones while the moves before are
// planned. The figures are those of a GCodeEstimator given the same lines.
class EstimatorThread final : public GCodeSink {
  public:
    explicit EstimatorThread(const MachineLimits& limits);
    ~EstimatorThread() override;
    EstimatorThread(const EstimatorThread&) = delete;
    EstimatorThread& operator=(const EstimatorThread&) = delete;

    // As GCodeEstimator::run; the line must outlive finish().
    void run(const GCodeEstimator::PreparedLine& line, const std::array<double, 3>& axis);
    // Text, as GCodeEstimator::write.
    void write(std::string_view bytes) override;
    MachiningFigures finish();

  private:
    // Where a text's bytes lie in the batch.
    struct TextPlace {
        std::size_t begin, end;
    };
    // 32 bytes: a line's numbers, or where its text lies.
    struct Item {
        const GCodeEstimator::PreparedLine* line;  // nullptr: text
        union {
            std::array<double, 3> axis;
            TextPlace text;
        };
    };
    struct Batch {
        std::vector<Item> items;
        std::string text;
    };
    void handOver();
    void work();
    void stop();

    // The worker's state, the filler's and the shared part each on cache lines
    // of their own: a filler writing beside the planner's last fields slowed
    // both threads down.
    static constexpr std::size_t kApart = 128;
    alignas(kApart) GCodeEstimator estimator_;  // the worker's until stop()
    alignas(kApart) Batch filling_;
    alignas(kApart) std::mutex mutex_;
    std::condition_variable changed_;
    Batch pending_;  // guarded by mutex_
    bool full_ = false;
    bool done_ = false;
    std::exception_ptr failure_;
    std::thread worker_;
};
