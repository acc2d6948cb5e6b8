// Commands of the command-line program kvimarot-chart.
//
// Each area puts its commands in a file cmd_<area>.cpp of this folder; the table of
// commands.cpp names them. A command gets its arguments after the common options
// (--ephe, --workdir, --no-settings) were taken out, and returns the exit status:
// 0 done, 1 engine or output failure (message printed), 2 bad arguments (message
// printed).
//
// Every word printed comes from the text resources (kvima.t of the working directory,
// code page 1251 inside, UTF-8 on the terminal). Numbers are read and written without
// the process locale.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/settings.h"

namespace kv::cli {

struct CliContext {
  std::string ephe_dir;       // --ephe, empty when not given
  std::string workdir;        // --workdir, already entered (the process runs there)
  std::string original_cwd;   // where the program was started, for relative output paths
  // "kvi.ini" of the working directory; the defaults when there is none or with
  // --no-settings. Options on the command line override it.
  Settings settings;
  bool settings_read = false;
};

using CliArgs = std::vector<std::string>;
using CliHandler = int (*)(const CliContext& ctx, const CliArgs& args);

struct CliCommand {
  const char* name;
  const char* usage_key;  // text-resource list: the synopsis, then lines explaining it
  CliHandler handler;
};

// An option a command takes, with or without a value.
struct OptionSpec {
  const char* name;
  bool takes_value;
};
using OptionSpecs = std::vector<OptionSpec>;

// 0 when the arguments are only the given options, each at most once and each with
// its value; otherwise the message and 2. Values may start with "-" (--corr -3).
int CheckOptions(const char* command, const CliArgs& args, const OptionSpecs& specs);

// The value of a required option; nullptr after the message (*status = 2) when the
// option is missing.
const std::string* RequiredValue(const char* command, const CliArgs& args,
                                 std::string_view option, int* status);
// The value after `--name`, or nothing; and a flag test.
std::optional<std::string> OptionValue(const CliArgs& args, std::string_view name);
bool HasFlag(const CliArgs& args, std::string_view name);

// A line of 1251 text on stderr, as UTF-8.
void PrintError(std::string_view cp1251);
// A text-resource list (1251) as lines on `out`, each without trailing blanks.
void PrintTextLines(std::string_view key, std::FILE* out);

// Refusals, all returning the exit status 2 after the hint to the command's help:
//   "<what>: <message of key>" (what: the option and the value typed, or empty)
int Refuse(const char* command, const std::string& what, const char* key);
//   "<message of key> <detail>" for the command line's own messages ("cliUnkOpt")
int RefuseWith(const char* command, const char* key, const std::string& detail);
//   a message already made (1251 text)
int RefuseText(const char* command, const std::string& cp1251);
// "--name VALUE" for messages; VALUE as typed (UTF-8 from the terminal).
std::string Typed(std::string_view option, std::string_view value);

// What every output puts in place of a position the chart does not have (UTF-8).
std::string NoData();

// Prints numbers with "%.15g" separated by single blanks and a line feed.
void PrintNumbers(const double* values, int n, std::FILE* out = stdout);
// A path given on the command line, made absolute against the starting folder.
std::string ResolveOutputPath(const CliContext& ctx, const std::string& path);

}  // namespace kv::cli
