#pragma once

#include <stdexcept>
#include <string>

// Base of every error the core reports. The message is the user's text in
// Windows-1251, ready for a message box.
class VezorError : public std::runtime_error {
  public:
    explicit VezorError(const std::string& message) : std::runtime_error(message) {}
    std::string message() const { return what(); }
};

// A file could not be opened or read.
class FileReadError : public VezorError {
  public:
    using VezorError::VezorError;
};

// A file could not be created or written; the previous file, if any, is unchanged.
class FileWriteError : public VezorError {
  public:
    using VezorError::VezorError;
};

// A library call whose arguments make it meaningless (for example a closing
// marker that is missing).
class InvalidCallError : public VezorError {
  public:
    using VezorError::VezorError;
};
