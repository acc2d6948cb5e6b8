// Engine commands of kvimarot-chart: positions, raw vectors, time scales, nutation.
#include <cstdio>
#include <string>

#include "app/cli/cli_command.h"
#include "app/cli/cli_engine.h"
#include "astro/calendar.h"
#include "astro/delta_t.h"
#include "astro/ephemeris/ephemeris.h"
#include "astro/nutation.h"
#include "astro/obliquity.h"
#include "astro/positions/calc_body.h"
#include "astro/sidereal_time.h"
#include "common/codepage.h"

namespace kv::cli {
namespace {

constexpr const char* kBodyUsage = "body --et JD --body N [--flags F]";
int BodyCommand(const CliContext& ctx, const CliArgs& args) {
  const auto jd = DoubleOption(args, "--et");
  const auto body_text = OptionValue(args, "--body");
  const auto body = body_text ? ParseLong(*body_text) : std::nullopt;
  long flags = kCalcChartFlags;
  if (const auto f = OptionValue(args, "--flags")) {
    const auto v = ParseLong(*f);
    if (!v) return UsageError(kBodyUsage);
    flags = *v;
  }
  if (!jd || !body) return UsageError(kBodyUsage);
  const bool known = (*body >= 0 && *body <= 20) || *body > kAsteroidOffset;
  if (!known) return UsageError(kBodyUsage);
  int status = 0;
  if (!StartEngine(ctx, &status)) return status;
  double out[6];
  const int rc = CalcBody(*jd, static_cast<int>(*body), static_cast<int>(flags), out);
  if (rc == kCalcNoData) return EngineFailure("no ephemeris data for this date");
  if (rc < 0) return EngineFailure(Engine().failure.message);
  PrintNumbers(out, 6);
  return 0;
}

constexpr const char* kRawUsage = "raw --et JD --body I";
int RawCommand(const CliContext& ctx, const CliArgs& args) {
  const auto jd = DoubleOption(args, "--et");
  const auto body_text = OptionValue(args, "--body");
  const auto body = body_text ? ParseLong(*body_text) : std::nullopt;
  if (!jd || !body || *body < 0 || (*body > kIntAsteroid && *body <= kNumberedAsteroidBase) ||
      *body == 11)
    return UsageError(kRawUsage);
  int status = 0;
  if (!StartEngine(ctx, &status)) return status;
  double out[6];
  const int rc = EvaluateBody(*jd, static_cast<int>(*body), kFlagSpeed, false, out);
  if (rc < 0) return EngineFailure(Engine().failure.message);
  if (rc > 0) return EngineFailure("no ephemeris data for this date");
  PrintNumbers(out, 6);
  return 0;
}

template <double (*F)(double)>
int OneValue(const CliArgs& args, const char* option, const char* usage) {
  const auto jd = DoubleOption(args, option);
  if (!jd) return UsageError(usage);
  const double v = F(*jd);
  PrintNumbers(&v, 1);
  return 0;
}

int DeltaTCommand(const CliContext&, const CliArgs& a) {
  return OneValue<DeltaT>(a, "--ut", "deltat --ut JD");
}
int SidTimeCommand(const CliContext&, const CliArgs& a) {
  return OneValue<MeanSiderealTime>(a, "--ut", "sidtime --ut JD");
}
int ObliquityCommand(const CliContext&, const CliArgs& a) {
  return OneValue<Obliquity>(a, "--et", "obliquity --et JD");
}

int NutationCommand(const CliContext&, const CliArgs& args) {
  const auto jd = DoubleOption(args, "--et");
  if (!jd) return UsageError("nutation --et JD");
  const NutationAngles n = Nutation(*jd);
  const double v[2] = {n.dpsi_rad, n.deps_rad};
  PrintNumbers(v, 2);
  return 0;
}

constexpr const char* kJdUsage = "jd DD.MM.YYYY [HH:MM:SS]";
int JdCommand(const CliContext&, const CliArgs& args) {
  if (args.empty() || args.size() > 2) return UsageError(kJdUsage);
  std::string text = args[0];
  if (args.size() == 2) text += " " + args[1];
  const double jd = ParseDateTime(text, false);
  if (jd == -1.0) return UsageError(kJdUsage);
  PrintNumbers(&jd, 1);
  return 0;
}

int DateCommand(const CliContext&, const CliArgs& args) {
  const auto jd = args.size() == 1 ? ParseDouble(args[0]) : std::nullopt;
  if (!jd) return UsageError("date JD");
  std::printf("%s\n", FormatDateTime(*jd).c_str());
  return 0;
}

CliCommandRegistration r1({"body", kBodyUsage, BodyCommand});
CliCommandRegistration r2({"raw", kRawUsage, RawCommand});
CliCommandRegistration r3({"deltat", "deltat --ut JD", DeltaTCommand});
CliCommandRegistration r4({"sidtime", "sidtime --ut JD", SidTimeCommand});
CliCommandRegistration r5({"jd", kJdUsage, JdCommand});
CliCommandRegistration r6({"date", "date JD", DateCommand});
CliCommandRegistration r7({"nutation", "nutation --et JD", NutationCommand});
CliCommandRegistration r8({"obliquity", "obliquity --et JD", ObliquityCommand});

}  // namespace
}  // namespace kv::cli
