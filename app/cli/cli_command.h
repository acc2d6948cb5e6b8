// Commands of the command-line program kvimarot-chart.
//
// Each subsystem puts its commands in a file cmd_<area>.cpp of this folder and registers
// them with a static CliCommandRegistration; main.cpp finds them by name. A command gets
// its arguments after the common options (--ephe, --workdir) were taken out, and
// returns the exit status: 0 done, 1 engine failure (message printed), 2 bad arguments.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace kv::cli {

struct CliContext {
  std::string ephe_dir;       // --ephe, empty when not given
  std::string workdir;        // --workdir, already entered (the process runs there)
  std::string original_cwd;   // where the program was started, for relative output paths
};

using CliArgs = std::vector<std::string>;
using CliHandler = int (*)(const CliContext& ctx, const CliArgs& args);

struct CliCommand {
  const char* name;
  const char* usage;  // one line, printed by the usage message
  CliHandler handler;
};

struct CliCommandRegistration {
  explicit CliCommandRegistration(CliCommand command);
};

const std::vector<CliCommand>& RegisteredCommands();

// Option helpers: the value after `--name`, or nothing; and a flag test.
std::optional<std::string> OptionValue(const CliArgs& args, const std::string& name);
bool HasFlag(const CliArgs& args, const std::string& name);
// Parses a whole text as a double / integer; nothing when it is not one.
std::optional<double> ParseDouble(const std::string& text);
std::optional<long> ParseLong(const std::string& text);
// Prints numbers with "%.15g" separated by single blanks and a line feed.
void PrintNumbers(const double* values, int n, std::FILE* out = stdout);
// A path given on the command line, made absolute against the starting folder.
std::string ResolveOutputPath(const CliContext& ctx, const std::string& path);
// Prints "usage: kvimarot-chart <usage>" to stderr and returns 2.
int UsageError(const char* usage);

}  // namespace kv::cli
