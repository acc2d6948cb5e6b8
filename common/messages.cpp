#include "common/messages.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "common/codepage.h"
#include "common/journal.h"

namespace kv {
namespace {

void StderrWarning(const std::string& text) {
  std::fprintf(stderr, "%s\n", Cp1251ToUtf8(text).c_str());
}

MessageSink g_sink{&StderrWarning, &StderrWarning};
TextLookupFn g_lookup = nullptr;
RunEnder g_ender = nullptr;

std::string Cut(std::string s) {
  if (s.size() >= kMaxMessageBytes) s.resize(kMaxMessageBytes - 1);
  return s;
}

std::string VFormat(const char* format, va_list args) { return Cut(FormatVa(format, args)); }

}  // namespace

MessageSink SetMessageSink(MessageSink sink) {
  MessageSink old = g_sink;
  g_sink = sink;
  return old;
}

RunEnder SetRunEnder(RunEnder ender) {
  RunEnder old = g_ender;
  g_ender = ender;
  return old;
}

void EndRun(int status) {
  if (g_ender) g_ender(status);
  std::abort();
}

TextLookupFn SetTextLookup(TextLookupFn fn) {
  TextLookupFn old = g_lookup;
  g_lookup = fn;
  return old;
}

std::string Text(std::string_view key) {
  if (g_lookup) return g_lookup(key);
  return std::string(key);
}

std::string FormatMessage(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string s = VFormat(format, args);
  va_end(args);
  return s;
}

void Warning(std::string_view text) {
  std::string s(text);
  if (s.size() >= kMaxMessageBytes) s.resize(kMaxMessageBytes - 1);
  JournalText(s);
  if (g_sink.warning) g_sink.warning(s);
}

void WarningKey(std::string_view key) { Warning(Text(key)); }

std::string FormatKeyArgs(std::string_view format_key, std::span<const FormatArg> args) {
  const std::string format = Text(format_key);
  if (std::optional<std::string> filled = FormatChecked(format, args)) return Cut(*filled);
  std::string shown = format;
  if (format != format_key) shown += " [" + std::string(format_key) + "]";
  if (!args.empty()) shown += ": " + ArgumentsText(args);
  return Cut(shown);
}

void WarningPrintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string s = VFormat(format, args);
  va_end(args);
  Warning(s);
}

void Fatal(std::string_view text) {
  std::string s(text);
  if (g_sink.fatal) g_sink.fatal(s);
  EndRun(1);
}

void FatalKey(std::string_view key) { Fatal(Text(key)); }

void InstallOutOfMemoryHandler() {
  std::set_new_handler([] {
    std::set_new_handler(nullptr);  // the message itself may allocate
    Fatal(Text("MEM"));
  });
}

}  // namespace kv
