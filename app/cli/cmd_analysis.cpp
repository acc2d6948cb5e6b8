// "analysis": how the ten planets of a chart fall into the polarities, elements and
// crosses by sign and by house, and their average dignity scores, as the analysis
// window shows them; with --json the same as one object.
#include <cstdio>
#include <string>
#include <vector>

#include "app/cli/cli_birth.h"
#include "app/cli/cli_command.h"
#include "app/cli/cli_engine.h"
#include "app/cli/commands.h"
#include "app/settings/program_settings.h"
#include "chart/calc/chart_calc.h"
#include "chart/record/chart_rules.h"
#include "common/codepage.h"
#include "common/messages.h"
#include "common/text_resources.h"
#include "texts/analysis.h"

namespace kv::cli {
namespace {

// The bodies are named by their short names: the glyphs of the window need its font.
std::vector<std::string> BodyLabels() {
  const TextList names = Resources().LookupList("PLANd");
  std::vector<std::string> labels;
  for (int n = 1; n <= kAnalysedBodies; ++n) labels.push_back(names.At(static_cast<size_t>(n - 1)));
  return labels;
}

std::string NoHousesNote() {
  std::string note;
  for (const std::string& part : Resources().LookupList("AnkNoH"))
    note += (note.empty() ? "" : " ") + part;
  return note;
}

}  // namespace

int AnalysisCommand(const CliContext& ctx, const CliArgs& args) {
  const char* kName = "analysis";
  OptionSpecs specs = ChartRequestOptions();
  specs.push_back({"--json", false});
  int status = CheckOptions(kName, args, specs);
  ChartRequest request;
  if (status || (status = ReadChartRequest(kName, ctx, args, request))) return status;
  if (!StartEngine(ctx, &status)) return status;
  const ChartRecord base = DefaultChartRecord();
  if (CalculateChart(request.rec, &base, kNatalChart, request.options) != 0) return 1;
  // A planet without a position would be counted in Aries: no analysis then.
  for (int n = 1; n <= kAnalysedBodies; ++n)
    if (!PointComputed(request.rec, n))
      return EngineFailure(FormatKey("AnkNoP%s", AppLists().ph.At(static_cast<size_t>(n - 1))));
  const ChartAnalysis analysis = AnalyseChart(request.rec);
  if (HasFlag(args, "--json")) {
    std::printf("%s\n", AnalysisJson(analysis).c_str());
  } else {
    std::string text = AnalysisText(analysis, BodyLabels(), NoHousesNote());
    std::fputs(Cp1251ToUtf8(text).c_str(), stdout);
  }
  return 0;
}

}  // namespace kv::cli
