// Messages to the user: warnings, fatal errors and the text-resource lookup they use.
//
// Core code never talks to a window system, and never ends the run: it shows warnings
// through Warning and returns a Status. The program that runs it installs a sink (the
// GUI shows message boxes, the command-line tools print to stderr) and a run ender;
// only program code calls Fatal. All texts here are 8-bit code page 1251.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "common/format_text.h"

namespace kv {

struct MessageSink {
  // Shows a recoverable problem. Called after the journal entry is written.
  void (*warning)(const std::string& text) = nullptr;
  // Shows an unrecoverable problem; Fatal ends the run with status 1 right after it
  // returns.
  void (*fatal)(const std::string& text) = nullptr;
};

// Installs the sink; returns the previous one (tests restore it).
MessageSink SetMessageSink(MessageSink sink);

// How the program ends its run with an exit status, installed by each program's main;
// returns the previous one.
using RunEnder = void (*)(int status);
RunEnder SetRunEnder(RunEnder ender);
// Ends the run through the program's ender. Without one, or should it return, the
// process aborts: a program that can end this way installs its ender first.
[[noreturn]] void EndRun(int status);

// Text-resource lookup used by WarningKey/WarningFormat and by every caller that
// shows a word. Until a provider is installed, every key comes back as itself.
using TextLookupFn = std::string (*)(std::string_view key);
TextLookupFn SetTextLookup(TextLookupFn fn);
std::string Text(std::string_view key);

// Longest formatted message, terminator included: longer texts are cut, never overrun.
inline constexpr size_t kMaxMessageBytes = 400;

// The text of `format_key` filled with the arguments, cut to 399 bytes. The text
// comes from a data file, so it is used as a format only when its conversions match
// the arguments exactly in number and kind (FormatChecked); otherwise it is shown as
// it stands, with its key and the arguments after it, and never filled.
std::string FormatKeyArgs(std::string_view format_key, std::span<const FormatArg> args);
template <class... Args>
std::string FormatKey(std::string_view format_key, const Args&... args) {
  const std::array<FormatArg, sizeof...(Args)> list{FormatArg(args)...};
  return FormatKeyArgs(format_key, list);
}

void Warning(std::string_view text);
void WarningKey(std::string_view key);
// Warning(FormatKey(format_key, args...)).
template <class... Args>
void WarningFormat(std::string_view format_key, const Args&... args) {
  Warning(FormatKey(format_key, args...));
}
// A warning with a format written in the program (1251 text), not a key.
void WarningPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The fatal end of the run: the sink's fatal shows the text, then EndRun(1).
[[noreturn]] void Fatal(std::string_view text);
[[noreturn]] void FatalKey(std::string_view key);

// printf into a string of at most kMaxMessageBytes - 1 bytes, numbers with a decimal
// point whatever the locale.
std::string FormatMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Makes operator new report exhaustion as Fatal(Text("MEM")).
void InstallOutOfMemoryHandler();

}  // namespace kv
