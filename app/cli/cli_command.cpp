#include "app/cli/cli_command.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>

namespace kv::cli {

static std::vector<CliCommand>& Registry() {
  static std::vector<CliCommand> commands;
  return commands;
}

CliCommandRegistration::CliCommandRegistration(CliCommand command) {
  Registry().push_back(command);
}

const std::vector<CliCommand>& RegisteredCommands() { return Registry(); }

std::optional<std::string> OptionValue(const CliArgs& args, const std::string& name) {
  for (size_t i = 0; i + 1 < args.size(); ++i)
    if (args[i] == name) return args[i + 1];
  return std::nullopt;
}

bool HasFlag(const CliArgs& args, const std::string& name) {
  for (const auto& a : args)
    if (a == name) return true;
  return false;
}

std::optional<double> ParseDouble(const std::string& text) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  errno = 0;
  double v = std::strtod(text.c_str(), &end);
  if (*end != '\0' || errno == ERANGE) return std::nullopt;
  return v;
}

std::optional<long> ParseLong(const std::string& text) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  errno = 0;
  long v = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0' || errno == ERANGE) return std::nullopt;
  return v;
}

void PrintNumbers(const double* values, int n, std::FILE* out) {
  for (int i = 0; i < n; ++i) std::fprintf(out, i ? " %.15g" : "%.15g", values[i]);
  std::fputc('\n', out);
}

std::string ResolveOutputPath(const CliContext& ctx, const std::string& path) {
  std::filesystem::path p(path);
  if (p.is_absolute() || ctx.original_cwd.empty()) return path;
  return (std::filesystem::path(ctx.original_cwd) / p).string();
}

int UsageError(const char* usage) {
  std::fprintf(stderr, "usage: kvimarot-chart %s\n", usage);
  return 2;
}

}  // namespace kv::cli
