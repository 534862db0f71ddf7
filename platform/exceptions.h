#pragma once

#include <exception>
#include <string>

// The platform's exception family. Every failure of the program is one of
// these, carrying a message meant for the user.
class Exception : public std::exception {
public:
  explicit Exception(std::string Message) : message_(std::move(Message)) {}
  const std::string& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

private:
  std::string message_;
};

// Raised when an internal pairing rule is broken (an unmatched EndUpdate).
class EAssertionFailed : public Exception {
public:
  using Exception::Exception;
};

// Raised when an object cannot be assigned to one of another kind.
class EConvertError : public Exception {
public:
  using Exception::Exception;
};

class EStreamError : public Exception {
public:
  using Exception::Exception;
};

class EReadError : public EStreamError {
public:
  using EStreamError::EStreamError;
};

class EWriteError : public EStreamError {
public:
  using EStreamError::EStreamError;
};
