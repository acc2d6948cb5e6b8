// Engine commands of kvimarot-chart: positions, raw vectors, time scales, nutation.
// Every Julian day they take lies inside the span of the ephemeris files.
#include <cstdio>
#include <string>

#include "app/cli/cli_command.h"
#include "app/cli/cli_engine.h"
#include "app/cli/commands.h"
#include "astro/delta_t.h"
#include "astro/ephemeris/ephemeris.h"
#include "astro/nutation.h"
#include "astro/obliquity.h"
#include "astro/positions/calc_body.h"
#include "astro/sidereal_time.h"
#include "common/birth_checks.h"
#include "common/calendar.h"
#include "common/messages.h"

namespace kv::cli {

int BodyCommand(const CliContext& ctx, const CliArgs& args) {
  const char* kName = "body";
  int status = CheckOptions(kName, args, {{"--et", true}, {"--body", true}, {"--flags", true}});
  double jd = 0;
  long long body = 0, flags = kCalcChartFlags;
  if (status || (status = ReadJulianDay(kName, args, "--et", &jd)) ||
      (status = ReadInteger(kName, args, "--body", &body)) ||
      (OptionValue(args, "--flags") && (status = ReadInteger(kName, args, "--flags", &flags))))
    return status;
  const bool known = (body >= kSun && body <= kPholus) ||
                     (body > kAsteroidOffset && body <= kAsteroidOffset + 999999);
  if (!known) return Refuse(kName, Typed("--body", *OptionValue(args, "--body")), "ChkBody");
  if (flags < 0 || flags > 0xFFFF)
    return Refuse(kName, Typed("--flags", *OptionValue(args, "--flags")), "ChkFlags");
  if (!StartEngine(ctx, &status)) return status;
  double out[6];
  const int rc = CalcBody(jd, static_cast<int>(body), static_cast<int>(flags), out);
  if (rc == kCalcNoData) return EngineFailure(Text("cliNoData"));
  if (rc < 0) return EngineFailure(Engine().failure.message());
  PrintNumbers(out, 6);
  return 0;
}

int RawCommand(const CliContext& ctx, const CliArgs& args) {
  const char* kName = "raw";
  int status = CheckOptions(kName, args, {{"--et", true}, {"--body", true}});
  double jd = 0;
  long long body = 0;
  if (status || (status = ReadJulianDay(kName, args, "--et", &jd)) ||
      (status = ReadInteger(kName, args, "--body", &body)))
    return status;
  // Internal numbers of the files; kIntNone (11) is not one of them.
  if (body < 0 || (body > kIntAsteroid && body <= kNumberedAsteroidBase) || body == kIntNone ||
      body > kNumberedAsteroidBase + 999999)
    return Refuse(kName, Typed("--body", *OptionValue(args, "--body")), "ChkRaw");
  if (!StartEngine(ctx, &status)) return status;
  double out[6];
  const Status raw = EvaluateBody(jd, static_cast<int>(body), kFlagSpeed, false, out);
  if (raw.IsNotFound()) return EngineFailure(Text("cliNoData"));
  if (!raw.ok()) return EngineFailure(raw.message());
  PrintNumbers(out, 6);
  return 0;
}

namespace {

// A command taking one Julian day and printing one value or two.
template <int (*Print)(double)>
int OneDay(const char* name, const char* option, const CliArgs& args) {
  int status = CheckOptions(name, args, {{option, true}});
  double jd = 0;
  if (status || (status = ReadJulianDay(name, args, option, &jd))) return status;
  return Print(jd);
}

int PrintOne(double v) {
  PrintNumbers(&v, 1);
  return 0;
}
int PrintDeltaT(double jd) { return PrintOne(DeltaT(jd)); }
int PrintSidTime(double jd) { return PrintOne(MeanSiderealTime(jd)); }
int PrintObliquity(double jd) { return PrintOne(Obliquity(jd)); }
int PrintNutation(double jd) {
  const NutationAngles n = Nutation(jd);
  const double v[2] = {n.dpsi_rad, n.deps_rad};
  PrintNumbers(v, 2);
  return 0;
}

}  // namespace

int DeltaTCommand(const CliContext&, const CliArgs& a) {
  return OneDay<PrintDeltaT>("deltat", "--ut", a);
}

int SidTimeCommand(const CliContext&, const CliArgs& a) {
  return OneDay<PrintSidTime>("sidtime", "--ut", a);
}

int ObliquityCommand(const CliContext&, const CliArgs& a) {
  return OneDay<PrintObliquity>("obliquity", "--et", a);
}

int NutationCommand(const CliContext&, const CliArgs& a) {
  return OneDay<PrintNutation>("nutation", "--et", a);
}

int JdCommand(const CliContext&, const CliArgs& args) {
  const char* kName = "jd";
  if (args.empty() || args.size() > 2) return RefuseWith(kName, "cliArgs", "");
  const Checked<BirthDate> d = CheckDateText(args[0]);
  if (!d.ok()) return Refuse(kName, args[0], d.error);
  ClockTime t;
  if (args.size() == 2) {
    const Checked<ClockTime> c = CheckTimeText(args[1]);
    if (!c.ok()) return Refuse(kName, args[1], c.error);
    t = c.value;
  }
  const double jd = DateToJulianDay(
      DateTimeRecord{d.value.day, d.value.month, d.value.year, t.hour, t.minute, t.second});
  PrintNumbers(&jd, 1);
  return 0;
}

int DateCommand(const CliContext&, const CliArgs& args) {
  const char* kName = "date";
  if (args.size() != 1) return RefuseWith(kName, "cliArgs", "");
  double jd = 0;
  if (const int status = ReadCalendarJulianDay(kName, args[0], &jd)) return status;
  std::printf("%s\n", FormatDateTime(jd).c_str());
  return 0;
}

}  // namespace kv::cli
