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

// A file written safely: nothing replaces the target before commit(), and a
// sink dropped without it leaves the target as it was. Throws FileWriteError;
// the bytes go to the disk on a thread of their own while the program goes on
// making the next ones, so a failure to write them shows at a later write() or
// at commit().
class FileSink final : public GCodeSink {
  public:
    explicit FileSink(const std::string& path);
    ~FileSink() override;
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;
    void write(std::string_view bytes) override;
    void commit();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
