#include "gcode/RecordsThread.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace {

// Records a batch holds, and batches that may wait: a megabyte or so.
constexpr std::size_t kBatch = 8192;
constexpr std::size_t kWaiting = 4;

// Thrown inside the maker when the taker has stopped taking.
struct Stopped {};

class Handover final : public PenPointSink {
  public:
    // The maker's side.
    void add(const PenPoint& point) override {
        filling_.push_back(point);
        if (filling_.size() >= kBatch) handOver();
    }
    void handOver() {
        if (filling_.empty()) return;
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return waiting_.size() < kWaiting || stopped_; });
        if (stopped_) throw Stopped{};
        waiting_.push_back(std::move(filling_));
        if (!spare_.empty()) {
            filling_ = std::move(spare_.back());
            spare_.pop_back();
        }
        lock.unlock();
        changed_.notify_all();
        filling_.clear();
        filling_.reserve(kBatch);
    }
    void finish(std::exception_ptr failure) {
        {
            const std::lock_guard lock(mutex_);
            done_ = true;
            failure_ = std::move(failure);
        }
        changed_.notify_all();
    }

    // The taker's side: false once every batch is taken; then failure() tells
    // whether the maker failed.
    bool take(std::vector<PenPoint>& batch) {
        std::unique_lock lock(mutex_);
        if (!batch.empty() || batch.capacity() > 0) {
            batch.clear();
            spare_.push_back(std::move(batch));
        }
        changed_.wait(lock, [&] { return !waiting_.empty() || done_; });
        if (waiting_.empty()) return false;
        batch = std::move(waiting_.front());
        waiting_.pop_front();
        lock.unlock();
        changed_.notify_all();
        return true;
    }
    std::exception_ptr failure() {
        const std::lock_guard lock(mutex_);
        return failure_;
    }
    void stop() {
        {
            const std::lock_guard lock(mutex_);
            stopped_ = true;
        }
        changed_.notify_all();
    }

  private:
    std::vector<PenPoint> filling_;  // the maker's
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<PenPoint>> waiting_;  // guarded by mutex_
    std::vector<std::vector<PenPoint>> spare_;   // guarded by mutex_
    bool done_ = false;                          // guarded by mutex_
    bool stopped_ = false;                       // guarded by mutex_
    std::exception_ptr failure_;                 // guarded by mutex_
};

}  // namespace

PenPointSource RecordsOnAThread(PenPointSource records) {
    return [records = std::move(records)](PenPointSink& sink) {
        Handover handover;
        std::thread maker([&] {
            std::exception_ptr failure;
            try {
                records(handover);
                handover.handOver();
            } catch (const Stopped&) {
            } catch (...) {
                failure = std::current_exception();
                try {
                    handover.handOver();  // the records made before the failure
                } catch (const Stopped&) {
                }
            }
            handover.finish(failure);
        });
        try {
            std::vector<PenPoint> batch;
            while (handover.take(batch))
                for (const PenPoint& point : batch) sink.add(point);
        } catch (...) {
            handover.stop();
            maker.join();
            throw;
        }
        maker.join();
        if (const std::exception_ptr failure = handover.failure()) std::rethrow_exception(failure);
    };
}
