#include "gcode/EstimatorThread.h"

#include <utility>

namespace {

// Lines a batch holds before it is handed over: small enough to stay in the
// cache, large enough that handing over costs little.
constexpr std::size_t kBatchLines = 4096;
constexpr std::size_t kBatchText = std::size_t{1} << 18;

}  // namespace

EstimatorThread::EstimatorThread(const MachineLimits& limits)
    : estimator_(limits), worker_([this] { work(); }) {
    filling_.items.reserve(kBatchLines);
}

EstimatorThread::~EstimatorThread() { stop(); }

void EstimatorThread::run(const GCodeEstimator::PreparedLine& line,
                          const std::array<double, 3>& axis) {
    Item& item = filling_.items.emplace_back();
    item.line = &line;
    item.axis = axis;
    if (filling_.items.size() >= kBatchLines) handOver();
}

void EstimatorThread::write(std::string_view bytes) {
    const std::size_t begin = filling_.text.size();
    filling_.text.append(bytes);
    Item& item = filling_.items.emplace_back();
    item.line = nullptr;
    item.text = {begin, filling_.text.size()};
    if (filling_.items.size() >= kBatchLines || filling_.text.size() >= kBatchText) handOver();
}

MachiningFigures EstimatorThread::finish() {
    handOver();
    stop();
    if (failure_) std::rethrow_exception(failure_);
    return estimator_.finish();
}

void EstimatorThread::handOver() {
    if (filling_.items.empty()) return;
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return !full_; });
        std::swap(pending_, filling_);
        full_ = true;
    }
    changed_.notify_all();
    filling_.items.clear();
    filling_.text.clear();
}

void EstimatorThread::work() {
    Batch batch;
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return full_ || done_; });
            if (!full_) return;
            std::swap(batch, pending_);
            full_ = false;
        }
        changed_.notify_all();
        if (failure_) continue;  // only drained now
        try {
            for (const Item& item : batch.items) {
                if (item.line)
                    estimator_.run(*item.line, item.axis);
                else
                    estimator_.write(std::string_view(batch.text)
                                         .substr(item.text.begin, item.text.end - item.text.begin));
            }
        } catch (...) {
            failure_ = std::current_exception();
        }
    }
}

void EstimatorThread::stop() {
    if (!worker_.joinable()) return;
    {
        const std::lock_guard lock(mutex_);
        done_ = true;
    }
    changed_.notify_all();
    worker_.join();
}
