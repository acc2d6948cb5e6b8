// The result of a step that can fail: ok, or an error with a code that says what kind
// of failure it is and a message that says what and where.
//
// This is the one way the code inside the program says "it failed, and why". Messages
// for the user are code page 1251 texts (usually from the text resources); details of
// damaged files ("page 3: key length 40 at 12") are plain English for the journal and
// the check tools. The numbers the outside world sees (the exit statuses of the
// tools, the documented results of the record store) are made from a Status at those
// edges only.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace kv {

enum class StatusCode {
  kOk = 0,
  kNotFound,         // a file, key, record or entry that is not there
  kAlreadyExists,    // a file that a new one may not replace
  kInvalidArgument,  // a value the operation does not take (an empty key, a bad mode)
  kTooLarge,         // data that does not fit its place (a record, a coefficient count)
  kReadOnly,         // a change asked of something opened for reading only
  kBusy,             // the thing is in use already (a database is open)
  kCorruption,       // stored bytes that break their layout
  kIoError,          // a read or write the system refused
  kFull,             // a file that holds as many pages or blocks as its numbers reach
  kCancelled,        // stopped on purpose: by the user or by a rule (a script's "err")
};

class Status {
 public:
  // Ok.
  Status() = default;
  Status(const Status& other)
      : code_(other.code_),
        message_(other.message_ ? std::make_unique<std::string>(*other.message_) : nullptr) {}
  Status(Status&& other) noexcept = default;
  Status& operator=(const Status& other) {
    if (this != &other) *this = Status(other);
    return *this;
  }
  Status& operator=(Status&& other) noexcept = default;

  static Status Ok() { return Status(); }
  static Status NotFound(std::string message = {}) {
    return Status(StatusCode::kNotFound, std::move(message));
  }
  static Status AlreadyExists(std::string message) {
    return Status(StatusCode::kAlreadyExists, std::move(message));
  }
  static Status InvalidArgument(std::string message) {
    return Status(StatusCode::kInvalidArgument, std::move(message));
  }
  static Status TooLarge(std::string message) {
    return Status(StatusCode::kTooLarge, std::move(message));
  }
  static Status ReadOnly(std::string message = {}) {
    return Status(StatusCode::kReadOnly, std::move(message));
  }
  static Status Busy(std::string message) { return Status(StatusCode::kBusy, std::move(message)); }
  static Status Corruption(std::string message) {
    return Status(StatusCode::kCorruption, std::move(message));
  }
  static Status IoError(std::string message) {
    return Status(StatusCode::kIoError, std::move(message));
  }
  static Status Full(std::string message) { return Status(StatusCode::kFull, std::move(message)); }
  static Status Cancelled(std::string message = {}) {
    return Status(StatusCode::kCancelled, std::move(message));
  }
  // An error of the given code (kOk gives an ok status, and the message is dropped).
  static Status Error(StatusCode code, std::string message);

  bool ok() const { return code_ == StatusCode::kOk; }
  StatusCode code() const { return code_; }
  const std::string& message() const { return message_ ? *message_ : EmptyMessage(); }

  bool IsNotFound() const { return code_ == StatusCode::kNotFound; }
  bool IsCorruption() const { return code_ == StatusCode::kCorruption; }

  // "ok", or the code's name and the message: "corruption: page 3: leaf flag 7".
  std::string ToString() const;

  // The same status with `context` and ": " in front of the message ("file.btr: ...").
  Status WithContext(std::string_view context) const;

 private:
  Status(StatusCode code, std::string message)
      : code_(code),
        message_(code == StatusCode::kOk || message.empty()
                     ? nullptr
                     : std::make_unique<std::string>(std::move(message))) {}
  static const std::string& EmptyMessage();

  // The message lives apart, so that an ok status (the common result) is made, moved
  // and dropped as one code and a null pointer.
  StatusCode code_ = StatusCode::kOk;
  std::unique_ptr<std::string> message_;
};

// The lower-case English name of a code ("not found", "corruption").
const char* StatusCodeName(StatusCode code);

}  // namespace kv
