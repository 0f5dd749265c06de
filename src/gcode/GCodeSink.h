#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "lib/TextFile.h"

// Where a G-code program goes, block by block as it is made, so that a large
// program never sits whole in memory.
class GCodeSink {
  public:
    virtual ~GCodeSink() = default;
    virtual void write(std::string_view bytes) = 0;
};

class StringSink final : public GCodeSink {
  public:
    void write(std::string_view bytes) override { text.append(bytes); }
    std::string text;
};

// Bytes handed on to another sink on a thread of their own, in large blocks,
// while the caller goes on making the next ones. What the other sink throws
// shows at a later write() or at finish(), which hands on the rest and waits
// for it. Dropped without finish(), what waits is thrown away.
class SinkThread final : public GCodeSink {
  public:
    explicit SinkThread(GCodeSink& next);
    ~SinkThread() override;
    SinkThread(const SinkThread&) = delete;
    SinkThread& operator=(const SinkThread&) = delete;
    void write(std::string_view bytes) override;
    void finish();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// A file written safely: nothing replaces the target before commit(), and a
// sink dropped without it leaves the target as it was. Throws FileWriteError;
// the bytes go to the disk on a thread of their own (a failure to write them
// shows at a later write() or at commit()).
class FileSink final : public GCodeSink {
  public:
    explicit FileSink(const std::string& path);
    ~FileSink() override;
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;
    void write(std::string_view bytes) override { thread_->write(bytes); }
    void commit();

  private:
    class FileWriter final : public GCodeSink {
      public:
        explicit FileWriter(const std::string& path) : file(path) {}
        void write(std::string_view bytes) override { file.write(bytes); }
        textfile::AtomicFile file;
    };
    FileWriter file_;
    std::unique_ptr<SinkThread> thread_;
};
