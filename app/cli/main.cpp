// kvimarot-chart: the chart engine without a window. Common options --ephe DIR,
// --workdir DIR and --no-settings may stand anywhere; the first other word names the
// command. Texts come from "kvima.t" and settings from "kvi.ini" of the working
// directory.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/cli/cli_command.h"
#include "app/cli/cli_pictures.h"
#include "app/cli/commands.h"
#include "app/settings/program_settings.h"
#include "common/codepage.h"
#include "common/files.h"
#include "common/messages.h"
#include "common/text_resources.h"

namespace {

constexpr const char* kVersion = "kvimarot-chart 0.1";

using kv::cli::CliCommand;

std::vector<const CliCommand*> CommandsByName() {
  std::vector<const CliCommand*> list;
  for (const auto& c : kv::cli::Commands()) list.push_back(&c);
  std::sort(list.begin(), list.end(),
            [](const CliCommand* a, const CliCommand* b) { return std::string(a->name) < b->name; });
  return list;
}

// The whole usage text: the general part, the house systems by number, every command.
void PrintUsage(std::FILE* out) {
  kv::cli::PrintTextLines("cliUse", out);
  for (int n = 1; n <= 12; ++n)
    std::fprintf(out, "  %2d  %s\n", n,
                 kv::Cp1251ToUtf8(kv::Resources().LookupIndexed(n, "HOUS")).c_str());
  std::fprintf(out, "\n");
  kv::cli::PrintTextLines("cliCmds", out);
  for (const CliCommand* c : CommandsByName()) {
    std::fprintf(out, "\n");
    kv::cli::PrintTextLines(c->usage_key, out);
  }
  std::fprintf(out, "\n");
  kv::cli::PrintTextLines("cliExit", out);
}

void LoadTexts() {
  if (!kv::Resources().LoadFile(kv::kTextResourceFile)) {
    kv::WarnCannotOpen(kv::kTextResourceFile);
    return;
  }
  kv::InstallResourceLookup();
  kv::AppLists().ph = kv::Resources().LookupList("P-H");
  kv::AppLists().zod = kv::Resources().LookupList("ZOD");
}

int Run(int argc, char** argv) {
  kv::cli::CliContext ctx;
  kv::cli::CliArgs rest;
  bool no_settings = false;
  std::error_code ec;
  ctx.original_cwd = std::filesystem::current_path(ec).string();
  std::string missing_dir_for;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if ((a == "--ephe" || a == "--workdir") && i + 1 < argc) {
      (a == "--ephe" ? ctx.ephe_dir : ctx.workdir) = argv[++i];
    } else if (a == "--ephe" || a == "--workdir") {
      missing_dir_for = a;
    } else if (a == "--no-settings") {
      no_settings = true;
    } else {
      rest.push_back(a);
    }
  }
  if (!ctx.ephe_dir.empty()) ctx.ephe_dir = kv::cli::ResolveOutputPath(ctx, ctx.ephe_dir);
  const bool entered = ctx.workdir.empty() || chdir(ctx.workdir.c_str()) == 0;
  LoadTexts();  // from the working directory when it was entered, so messages read as words
  if (!entered) return kv::cli::RefuseWith(nullptr, "cliDir", ctx.workdir);
  if (!missing_dir_for.empty()) return kv::cli::RefuseWith(nullptr, "cliNeedVal", missing_dir_for);
  if (!no_settings) ctx.settings_read = kv::ReadSettingsFile(kv::kSettingsFile, ctx.settings);

  if (rest.empty()) {
    kv::cli::PrintError(kv::Text("cliNoCmd"));
    PrintUsage(stderr);
    return 2;
  }
  if (rest[0] == "--help" || rest[0] == "-h") {
    PrintUsage(stdout);
    return 0;
  }
  if (rest[0] == "--version") {
    std::printf("%s\n", kVersion);
    return 0;
  }
  const CliCommand* command = kv::cli::FindCommand(rest[0]);
  if (!command) return kv::cli::RefuseWith(nullptr, "cliUnkCmd", rest[0]);
  kv::cli::CliArgs args(rest.begin() + 1, rest.end());
  if (std::find(args.begin(), args.end(), "--help") != args.end()) {
    kv::cli::PrintTextLines(command->usage_key, stdout);
    return 0;
  }
  kv::SetRunEnder([](int status) { std::exit(status); });
  kv::InstallOutOfMemoryHandler();
  return command->handler(ctx, args);
}

}  // namespace

int main(int argc, char** argv) {
  int status = Run(argc, argv);
  kv::cli::EndPictures();
  // Output that cannot be written (a full disk, a closed pipe) is a failure too.
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    kv::cli::PrintError(kv::Text("cliOut"));
    if (status == 0) status = 1;
  }
  return status;
}
