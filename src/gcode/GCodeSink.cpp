#include "gcode/GCodeSink.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace {

// Bytes gathered before they go to the thread, and blocks that may wait for
// it: a few megabytes at most.
constexpr std::size_t kBlock = std::size_t{1} << 20;
constexpr std::size_t kWaiting = 3;

}  // namespace

struct SinkThread::Impl {
    explicit Impl(GCodeSink& next) : next(next) {}

    GCodeSink& next;
    std::string filling;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::string> waiting;  // guarded by mutex
    std::vector<std::string> spare;   // guarded by mutex
    bool closing = false;             // guarded by mutex
    std::exception_ptr failure;       // guarded by mutex
    std::thread worker;

    void work() {
        for (;;) {
            std::string block;
            bool failed = false;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return !waiting.empty() || closing; });
                if (waiting.empty()) return;
                block = std::move(waiting.front());
                waiting.pop_front();
                failed = failure != nullptr;
            }
            changed.notify_all();
            if (!failed) {
                try {
                    next.write(block);
                } catch (...) {
                    const std::lock_guard lock(mutex);
                    failure = std::current_exception();
                }
            }
            block.clear();
            const std::lock_guard lock(mutex);
            spare.push_back(std::move(block));
        }
    }

    void rethrowFailure() {
        std::exception_ptr f;
        {
            const std::lock_guard lock(mutex);
            f = failure;
        }
        if (f) std::rethrow_exception(f);
    }

    void handOver() {
        if (filling.empty()) return;
        std::string next;
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return waiting.size() < kWaiting; });
            waiting.push_back(std::move(filling));
            if (!spare.empty()) {
                next = std::move(spare.back());
                spare.pop_back();
            }
        }
        changed.notify_all();
        filling = std::move(next);
        filling.clear();
    }

    void stop() {
        if (!worker.joinable()) return;
        {
            const std::lock_guard lock(mutex);
            closing = true;
        }
        changed.notify_all();
        worker.join();
    }
};

SinkThread::SinkThread(GCodeSink& next) : impl_(std::make_unique<Impl>(next)) {
    impl_->filling.reserve(kBlock);
    impl_->worker = std::thread([impl = impl_.get()] { impl->work(); });
}

SinkThread::~SinkThread() {
    {
        const std::lock_guard lock(impl_->mutex);
        impl_->waiting.clear();
    }
    impl_->stop();
}

void SinkThread::write(std::string_view bytes) {
    impl_->rethrowFailure();
    impl_->filling.append(bytes);
    if (impl_->filling.size() >= kBlock) impl_->handOver();
}

void SinkThread::finish() {
    impl_->handOver();
    impl_->stop();
    impl_->rethrowFailure();
}

FileSink::FileSink(const std::string& path)
    : file_(path), thread_(std::make_unique<SinkThread>(file_)) {}

FileSink::~FileSink() { thread_.reset(); }

void FileSink::commit() {
    thread_->finish();
    file_.file.commit();
}
