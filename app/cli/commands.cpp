#include "app/cli/commands.h"

namespace kv::cli {
namespace {

// Name, usage text (a text-resource list) and handler.
constexpr CliCommand kCommands[] = {
    {"analysis", "cliUanalysis", &AnalysisCommand},
    {"batch", "cliUbatch", &BatchCommand},
    {"body", "cliUbody", &BodyCommand},
    {"chart", "cliUchart", &ChartCommand},
    {"date", "cliUdate", &DateCommand},
    {"deltat", "cliUdeltat", &DeltaTCommand},
    {"details", "cliUdetail", &DetailsCommand},
    {"example", "cliUexample", &ExampleCommand},
    {"houses", "cliUhouses", &HousesCommand},
    {"interpret", "cliUinterp", &InterpretCommand},
    {"jd", "cliUjd", &JdCommand},
    {"lunar-day", "cliUlunar", &LunarDayCommand},
    {"nutation", "cliUnut", &NutationCommand},
    {"obliquity", "cliUobl", &ObliquityCommand},
    {"raw", "cliUraw", &RawCommand},
    {"render", "cliUrender", &RenderCommand},
    {"sidtime", "cliUsidtime", &SidTimeCommand},
    {"town", "cliUtown", &TownCommand},
};

}  // namespace

std::span<const CliCommand> Commands() { return kCommands; }

const CliCommand* FindCommand(std::string_view name) {
  for (const CliCommand& c : kCommands)
    if (name == c.name) return &c;
  return nullptr;
}

}  // namespace kv::cli
