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
// sink dropped without it leaves the target as it was. Throws FileWriteError.
class FileSink final : public GCodeSink {
  public:
    explicit FileSink(const std::string& path) : file_(path) {}
    void write(std::string_view bytes) override { file_.write(bytes); }
    void commit() { file_.commit(); }

  private:
    textfile::AtomicFile file_;
};
