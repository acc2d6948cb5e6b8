#include "common/timing.h"

#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/numbers.h"

namespace kv {
namespace {

// Field 22 of /proc/self/stat: the start time in clock ticks after boot. The command
// name (field 2) may hold blanks and parentheses, so fields are counted after the last ')'.
double ProcessStartMsAfterBoot() {
  FILE* f = std::fopen("/proc/self/stat", "r");
  if (!f) return 0.0;
  char buf[1024];
  const size_t n = std::fread(buf, 1, sizeof buf - 1, f);
  std::fclose(f);
  buf[n] = '\0';
  const char* p = std::strrchr(buf, ')');
  if (!p) return 0.0;
  int field = 2;
  for (; *p && field < 22; ++p)
    if (*p == ' ') ++field;
  const double ticks = std::strtod(p, nullptr);
  return ticks * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double NowMsAfterBoot() {
  timespec ts{};
  clock_gettime(CLOCK_BOOTTIME, &ts);
  return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

}  // namespace

bool TimingEnabled() {
  static const bool enabled = std::getenv("KV_TIMING") != nullptr;
  return enabled;
}

double MillisecondsSinceProcessStart() {
  static const double start = ProcessStartMsAfterBoot();
  return NowMsAfterBoot() - start;
}

void MarkTiming(const char* step) {
  if (!TimingEnabled()) return;
  // One write a line, so that lines of several windows do not mix.
  const std::string line =
      "KV_TIMING " + FormatFixed(MillisecondsSinceProcessStart(), 1) + ' ' + step + '\n';
  (void)!write(2, line.data(), line.size());
}

}  // namespace kv
