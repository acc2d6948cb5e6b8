// Messages to the user: warnings, fatal errors and the text-resource lookup they use.
//
// Core code never talks to a window system. It calls Warning/Fatal, and the program
// that runs it installs a sink: the GUI shows message boxes, the command-line tools
// print to stderr. All texts here are 8-bit code page 1251.
#pragma once

#include <string>
#include <string_view>

namespace kv {

struct MessageSink {
  // Shows a recoverable problem. Called after the journal entry is written.
  void (*warning)(const std::string& text) = nullptr;
  // Shows an unrecoverable problem; the caller ends the process with status 1
  // right after it returns.
  void (*fatal)(const std::string& text) = nullptr;
};

// Installs the sink; returns the previous one (tests restore it).
MessageSink SetMessageSink(MessageSink sink);

// Text-resource lookup used by WarningKey/WarningFormat and by every caller that
// shows a word. Until a provider is installed, every key comes back as itself.
using TextLookupFn = std::string (*)(std::string_view key);
TextLookupFn SetTextLookup(TextLookupFn fn);
std::string Text(std::string_view key);

// Longest formatted message, terminator included: longer texts are cut, never overrun.
inline constexpr size_t kMaxMessageBytes = 400;

void Warning(std::string_view text);
void WarningKey(std::string_view key);
// The text of `format_key` used as a printf format (only %s, %d, %i, %ld, %f and
// similar conversions with matching arguments). The result is cut to 399 bytes.
void WarningFormat(std::string_view format_key, ...);
// Same, but with a literal format (1251 text), not a key.
void WarningPrintf(const char* format, ...);
[[noreturn]] void Fatal(std::string_view text);
[[noreturn]] void FatalKey(std::string_view key);

// printf into a string of at most kMaxMessageBytes - 1 bytes.
std::string FormatMessage(const char* format, ...);

// Makes operator new report exhaustion as Fatal(Text("MEM")).
void InstallOutOfMemoryHandler();

}  // namespace kv
