#include "common/status.h"

namespace kv {

Status Status::Error(StatusCode code, std::string message) {
  return Status(code, std::move(message));
}

const char* StatusCodeName(StatusCode code) {
  switch (code) {
    case StatusCode::kOk: return "ok";
    case StatusCode::kNotFound: return "not found";
    case StatusCode::kAlreadyExists: return "already exists";
    case StatusCode::kInvalidArgument: return "invalid argument";
    case StatusCode::kTooLarge: return "too large";
    case StatusCode::kReadOnly: return "read-only";
    case StatusCode::kBusy: return "busy";
    case StatusCode::kCorruption: return "corruption";
    case StatusCode::kIoError: return "i/o error";
    case StatusCode::kFull: return "full";
    case StatusCode::kCancelled: return "cancelled";
  }
  return "unknown";
}

const std::string& Status::EmptyMessage() {
  static const std::string empty;
  return empty;
}

std::string Status::ToString() const {
  if (ok()) return "ok";
  std::string s = StatusCodeName(code_);
  if (message_) s += ": " + *message_;
  return s;
}

Status Status::WithContext(std::string_view context) const {
  if (ok()) return *this;
  return Status(code_, std::string(context) + ": " + message());
}

}  // namespace kv
