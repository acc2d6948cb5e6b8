// Warnings and fatal messages of a test collected instead of shown: while a holder
// lives, every message is appended to Texts(); the sink before it comes back when the
// holder goes. A fixture keeps one as a member.
#pragma once

#include <string>
#include <vector>

#include "common/messages.h"

namespace kv::testing {

class CapturedMessages {
 public:
  CapturedMessages() {
    Texts().clear();
    previous_ = SetMessageSink({Collect, Collect});
  }
  ~CapturedMessages() { SetMessageSink(previous_); }
  CapturedMessages(const CapturedMessages&) = delete;
  CapturedMessages& operator=(const CapturedMessages&) = delete;

  static std::vector<std::string>& Texts() {
    static std::vector<std::string> texts;
    return texts;
  }

 private:
  static void Collect(const std::string& text) { Texts().push_back(text); }
  MessageSink previous_;
};

}  // namespace kv::testing
