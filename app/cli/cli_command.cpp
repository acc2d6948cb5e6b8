#include "app/cli/cli_command.h"

#include <filesystem>

#include "common/codepage.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "common/text_resources.h"
#include "common/tokens.h"

namespace kv::cli {

int CheckOptions(const char* command, const CliArgs& args, const OptionSpecs& specs) {
  std::vector<std::string_view> seen;
  for (size_t i = 0; i < args.size(); ++i) {
    const OptionSpec* spec = nullptr;
    for (const OptionSpec& s : specs)
      if (args[i] == s.name) spec = &s;
    if (!spec) return RefuseWith(command, "cliUnkOpt", args[i]);
    for (std::string_view s : seen)
      if (s == spec->name) return RefuseWith(command, "cliTwice", args[i]);
    seen.push_back(spec->name);
    if (spec->takes_value) {
      if (i + 1 >= args.size()) return RefuseWith(command, "cliNeedVal", args[i]);
      ++i;
    }
  }
  return 0;
}

const std::string* RequiredValue(const char* command, const CliArgs& args,
                                 std::string_view option, int* status) {
  for (size_t i = 0; i + 1 < args.size(); ++i)
    if (args[i] == option) return &args[i + 1];
  *status = RefuseWith(command, "cliNeed", std::string(option));
  return nullptr;
}

std::optional<std::string> OptionValue(const CliArgs& args, std::string_view name) {
  for (size_t i = 0; i + 1 < args.size(); ++i)
    if (args[i] == name) return args[i + 1];
  return std::nullopt;
}

bool HasFlag(const CliArgs& args, std::string_view name) {
  for (const auto& a : args)
    if (a == name) return true;
  return false;
}

void PrintError(std::string_view cp1251) {
  std::fprintf(stderr, "%s\n", Cp1251ToUtf8(cp1251).c_str());
}

void PrintTextLines(std::string_view key, std::FILE* out) {
  for (const std::string& line : Resources().LookupList(key))
    std::fprintf(out, "%s\n", Cp1251ToUtf8(TrimRight(line)).c_str());
}

static int HintAndRefuse(const char* command) {
  std::string hint = Text("cliMore") + " kvimarot-chart ";
  if (command) hint += std::string(command) + " ";
  PrintError(hint + "--help");
  return 2;
}

int Refuse(const char* command, const std::string& what, const char* key) {
  PrintError(what.empty() ? Text(key) : Utf8ToCp1251(what) + ": " + Text(key));
  return HintAndRefuse(command);
}

int RefuseWith(const char* command, const char* key, const std::string& detail) {
  PrintError(Text(key) + (detail.empty() ? "" : " " + Utf8ToCp1251(detail)));
  return HintAndRefuse(command);
}

int RefuseText(const char* command, const std::string& cp1251) {
  PrintError(cp1251);
  return HintAndRefuse(command);
}

std::string Typed(std::string_view option, std::string_view value) {
  return std::string(option) + " " + std::string(value);
}

std::string NoData() { return Cp1251ToUtf8(Text("NoDat")); }

void PrintNumbers(const double* values, int n, std::FILE* out) {
  std::string line;
  for (int i = 0; i < n; ++i) {
    if (i) line += ' ';
    line += FormatGeneral(values[i], 15);
  }
  std::fprintf(out, "%s\n", line.c_str());
}

std::string ResolveOutputPath(const CliContext& ctx, const std::string& path) {
  std::filesystem::path p(path);
  if (p.is_absolute() || ctx.original_cwd.empty()) return path;
  return (std::filesystem::path(ctx.original_cwd) / p).string();
}

}  // namespace kv::cli
