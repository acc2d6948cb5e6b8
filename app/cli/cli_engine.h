// What the engine commands of kvimarot-chart share: starting the ephemeris engine with
// the texts of the working directory, reporting its failures, reading number options.
#pragma once

#include <optional>
#include <string>

#include "app/cli/cli_command.h"

namespace kv::cli {

// Prints an engine message (1251 text) to stderr as UTF-8 and returns exit status 1.
int EngineFailure(const std::string& message);

// Starts the engine (once per run), with the texts of "kvima.t" when the working
// directory has it, so that warnings such as "DEp" read as words. On failure sets
// *status to the exit status and returns false. Engine damage is reported, not fatal.
bool StartEngine(const CliContext& ctx, int* status);

// The value after `name` read as a double; nothing when absent or not a number.
std::optional<double> DoubleOption(const CliArgs& args, const char* name);

}  // namespace kv::cli
