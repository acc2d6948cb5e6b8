// What the towns tests share: warnings caught instead of shown, texts by a small table.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/messages.h"

namespace kv::towns::test {

inline std::vector<std::string>& Caught() {
  static std::vector<std::string> caught;
  return caught;
}

inline std::string TestText(std::string_view key) {
  if (key == "PopZn%s") return "zone %s: '%s'";
  if (key == "PopSm%s") return "summer %s: '%s'";
  return std::string(key);
}

// Catches warnings for the life of the object.
class CatchWarnings {
 public:
  CatchWarnings() {
    Caught().clear();
    old_sink_ = SetMessageSink({&Catch, &Catch});
    old_lookup_ = SetTextLookup(&TestText);
  }
  ~CatchWarnings() {
    SetMessageSink(old_sink_);
    SetTextLookup(old_lookup_);
  }
  const std::vector<std::string>& Messages() const { return Caught(); }

 private:
  static void Catch(const std::string& text) { Caught().push_back(text); }
  MessageSink old_sink_;
  TextLookupFn old_lookup_ = nullptr;
};

}  // namespace kv::towns::test
