// The commands of kvimarot-chart, each in the file of its area (cmd_<area>.cpp), and
// the table that names them (commands.cpp). A command gets its arguments after the
// common options were taken out and returns the exit status (cli_command.h).
#pragma once

#include <span>

#include "app/cli/cli_command.h"

namespace kv::cli {

// The command table, in the order of the names.
std::span<const CliCommand> Commands();
const CliCommand* FindCommand(std::string_view name);

// cmd_analysis.cpp: polarities, elements, crosses and scores of a chart.
int AnalysisCommand(const CliContext& ctx, const CliArgs& args);

// cmd_astro.cpp: the engine's numbers.
int BodyCommand(const CliContext& ctx, const CliArgs& args);
int RawCommand(const CliContext& ctx, const CliArgs& args);
int DeltaTCommand(const CliContext& ctx, const CliArgs& args);
int SidTimeCommand(const CliContext& ctx, const CliArgs& args);
int ObliquityCommand(const CliContext& ctx, const CliArgs& args);
int NutationCommand(const CliContext& ctx, const CliArgs& args);
int JdCommand(const CliContext& ctx, const CliArgs& args);
int DateCommand(const CliContext& ctx, const CliArgs& args);

// cmd_chart.cpp: houses, lunar day, charts and their pictures.
int HousesCommand(const CliContext& ctx, const CliArgs& args);
int LunarDayCommand(const CliContext& ctx, const CliArgs& args);
int ChartCommand(const CliContext& ctx, const CliArgs& args);
int RenderCommand(const CliContext& ctx, const CliArgs& args);
int BatchCommand(const CliContext& ctx, const CliArgs& args);
int ExampleCommand(const CliContext& ctx, const CliArgs& args);

// cmd_texts.cpp: the natal interpretation and the details of a chart, as the text
// windows show them.
int InterpretCommand(const CliContext& ctx, const CliArgs& args);
int DetailsCommand(const CliContext& ctx, const CliArgs& args);

// cmd_town.cpp: the towns database.
int TownCommand(const CliContext& ctx, const CliArgs& args);

}  // namespace kv::cli
