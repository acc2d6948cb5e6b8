// kvimarot-chart: the chart engine without a window. Common options --ephe DIR and
// --workdir DIR may stand anywhere; the first other word names the command.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/cli/cli_command.h"
#include "common/messages.h"

namespace {

constexpr const char* kVersion = "kvimarot-chart 0.1";

void PrintUsage(std::FILE* out) {
  std::fprintf(out, "%s\nusage: kvimarot-chart [--ephe DIR] [--workdir DIR] COMMAND [ARGS]\n",
               kVersion);
  std::fprintf(out, "       kvimarot-chart --version | --help\ncommands:\n");
  for (const auto& c : kv::cli::RegisteredCommands())
    std::fprintf(out, "  %s\n", c.usage);
}

}  // namespace

int main(int argc, char** argv) {
  kv::cli::CliContext ctx;
  kv::cli::CliArgs rest;
  std::error_code ec;
  ctx.original_cwd = std::filesystem::current_path(ec).string();
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if ((a == "--ephe" || a == "--workdir") && i + 1 < argc) {
      (a == "--ephe" ? ctx.ephe_dir : ctx.workdir) = argv[++i];
    } else if (a == "--ephe" || a == "--workdir") {
      std::fprintf(stderr, "%s needs a directory\n", a.c_str());
      return 2;
    } else {
      rest.push_back(a);
    }
  }
  if (rest.empty() || rest[0] == "--help" || rest[0] == "-h") {
    PrintUsage(rest.empty() ? stderr : stdout);
    return rest.empty() ? 2 : 0;
  }
  if (rest[0] == "--version") {
    std::printf("%s\n", kVersion);
    return 0;
  }
  if (!ctx.ephe_dir.empty())
    ctx.ephe_dir = kv::cli::ResolveOutputPath(ctx, ctx.ephe_dir);
  if (!ctx.workdir.empty()) {
    if (chdir(ctx.workdir.c_str()) != 0) {
      std::fprintf(stderr, "cannot enter the working directory '%s'\n", ctx.workdir.c_str());
      return 2;
    }
  }
  kv::InstallOutOfMemoryHandler();
  for (const auto& c : kv::cli::RegisteredCommands()) {
    if (rest[0] == c.name) {
      kv::cli::CliArgs args(rest.begin() + 1, rest.end());
      return c.handler(ctx, args);
    }
  }
  std::fprintf(stderr, "unknown command '%s'\n", rest[0].c_str());
  PrintUsage(stderr);
  return 2;
}
