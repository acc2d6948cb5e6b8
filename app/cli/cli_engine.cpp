#include "app/cli/cli_engine.h"

#include <cstdio>

#include "app/textres/text_resources.h"
#include "astro/ephemeris/ephemeris.h"
#include "common/codepage.h"

namespace kv::cli {

int EngineFailure(const std::string& message) {
  std::fprintf(stderr, "%s\n", Cp1251ToUtf8(message).c_str());
  return 1;
}

bool StartEngine(const CliContext& ctx, int* status) {
  static const bool texts_loaded = [] {
    bool ok = Resources().LoadFile(kTextResourceFile);
    if (ok) InstallResourceLookup();
    return ok;
  }();
  static_cast<void>(texts_loaded);
  const EngineStatus s = InitEphemeris(ctx.ephe_dir);
  if (!s.ok) {
    *status = EngineFailure(s.message);
    return false;
  }
  return true;
}

std::optional<double> DoubleOption(const CliArgs& args, const char* name) {
  const auto v = OptionValue(args, name);
  return v ? ParseDouble(*v) : std::nullopt;
}

}  // namespace kv::cli
