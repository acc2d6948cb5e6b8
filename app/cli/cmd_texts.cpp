// Texts of a chart on the command line: "interpret" prints the natal interpretation
// and "details" the short description of a sign, house or planet, both exactly as
// the text window shows them (the title lines, every line cut at "@@"), as UTF-8.
// The collections and the settings that shape the texts ("LP", option byte 34, "Lf",
// the house system) come from the working directory by the rule of every command.
#include <cstdio>
#include <string>
#include <vector>

#include "app/cli/cli_birth.h"
#include "app/cli/cli_command.h"
#include "app/cli/cli_engine.h"
#include "app/cli/commands.h"
#include "app/settings/program_settings.h"
#include "chart/calc/chart_calc.h"
#include "common/codepage.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "common/text_resources.h"
#include "texts/interpretation.h"
#include "texts/output_file.h"
#include "texts/reference_texts.h"
#include "texts/text_file.h"

namespace kv::cli {
namespace {

BodyNames Names() { return AppLists().ph.Items(); }

// The output file's text as the window shows it: the title lines, then the lines of
// the text, each cut at "@@".
void PrintAsShown(const std::string& title, const std::string& body) {
  const std::string all = OutputTitle(title) + body;
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < all.size()) {
    size_t end = all.find('\n', start);
    if (end == std::string::npos) end = all.size();
    lines.emplace_back(all, start, end - start);
    start = end + 1;
  }
  std::fputs(Cp1251ToUtf8(ExportText(lines)).c_str(), stdout);
}

// Reads the chart options and computes the chart: 0, or the exit status.
int ComputeChart(const char* name, const CliContext& ctx, const CliArgs& args, OptionSpecs specs,
                 ChartRequest& request) {
  int status = CheckOptions(name, args, specs);
  if (status || (status = ReadChartRequest(name, ctx, args, request))) return status;
  if (!StartEngine(ctx, &status)) return status;
  const ChartRecord base = DefaultChartRecord();
  return CalculateChart(request.rec, &base, kNatalChart, request.options) != 0 ? 1 : 0;
}

}  // namespace

int InterpretCommand(const CliContext& ctx, const CliArgs& args) {
  const char* kName = "interpret";
  ChartRequest request;
  if (int status = ComputeChart(kName, ctx, args, ChartRequestOptions(), request)) return status;
  std::string body;
  const InterpretationOptions options = InterpretationOptionsFrom(request.settings, Resources());
  if (!WriteNatalInterpretation(request.rec, options, Names(), body)) return 1;
  PrintAsShown(NatalTitle(request.rec), body);
  return 0;
}

int DetailsCommand(const CliContext& ctx, const CliArgs& args) {
  const char* kName = "details";
  OptionSpecs specs = ChartRequestOptions();
  specs.push_back({"--kind", true});
  specs.push_back({"--number", true});
  int status = CheckOptions(kName, args, specs);
  if (status) return status;
  const std::string* kind_text = RequiredValue(kName, args, "--kind", &status);
  if (!kind_text) return status;
  DetailsKind kind;
  int last = 12;
  if (*kind_text == "sign") kind = DetailsKind::kSign;
  else if (*kind_text == "house") kind = DetailsKind::kHouse;
  else if (*kind_text == "planet") kind = DetailsKind::kPlanet, last = kBodyCount;
  else return Refuse(kName, Typed("--kind", *kind_text), "ChkKind");
  const std::string* number_text = RequiredValue(kName, args, "--number", &status);
  if (!number_text) return status;
  const auto number = ParseInteger(*number_text);
  if (!number || *number < 1 || *number > last)
    return Refuse(kName, Typed("--number", *number_text), "ChkDetN");

  ChartRequest request;
  if ((status = ComputeChart(kName, ctx, args, specs, request))) return status;
  std::string body;
  const InterpretationOptions options = InterpretationOptionsFrom(request.settings, Resources());
  if (!WriteDetails(request.rec, kind, static_cast<int>(*number), options, Names(), body))
    return 1;
  PrintAsShown("", body);
  return 0;
}
}  // namespace kv::cli
