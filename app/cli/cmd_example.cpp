// "example": the main job without a display. A built-in birth moment (Moscow,
// 5 March 1961, 14:07 local time, three hours ahead of universal time) goes through
// the same commands a user would call: the chart report, then the wheel picture.
#include <cstdio>
#include <cstring>

#include "app/cli/cli_command.h"

namespace kv::cli {
namespace {

const CliCommand* Find(const char* name) {
  for (const auto& c : RegisteredCommands())
    if (std::strcmp(c.name, name) == 0) return &c;
  return nullptr;
}

int Example(const CliContext& ctx, const CliArgs& args) {
  const CliArgs moment = {"--date", "05.03.1961", "--time", "14:07:00", "--corr", "-3",
                          "--lat",  "55.45",      "--lon",  "37.37",    "--name", "Пример",
                          "--place", "Москва"};
  std::string png = OptionValue(args, "--png").value_or("example.png");
  const CliCommand* chart = Find("chart");
  if (!chart) {
    std::fprintf(stderr, "the chart command is not built\n");
    return 1;
  }
  int rc = chart->handler(ctx, moment);
  if (rc != 0) return rc;
  const CliCommand* render = Find("render");
  if (!render) return 0;
  CliArgs picture = moment;
  picture.insert(picture.end(), {"--png", png, "--size", "1200x900"});
  rc = render->handler(ctx, picture);
  if (rc == 0) std::printf("\nКартина круга: %s\n", ResolveOutputPath(ctx, png).c_str());
  return rc;
}

const CliCommandRegistration kExample({"example", "example [--png FILE]", &Example});

}  // namespace
}  // namespace kv::cli
