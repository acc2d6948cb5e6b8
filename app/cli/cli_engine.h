// What the engine commands of kvimarot-chart share: starting the ephemeris engine,
// reporting its failures, and reading the numbers they take (Julian days, packed
// coordinates, house systems) with the checks every command applies alike.
#pragma once

#include <cstdint>
#include <string>

#include "app/cli/cli_command.h"

namespace kv::cli {

// Prints an engine message (1251 text) to stderr as UTF-8 and returns exit status 1.
int EngineFailure(const std::string& message);

// Starts the engine (once per run). On failure sets *status to the exit status and
// returns false. Engine damage is reported, not fatal.
bool StartEngine(const CliContext& ctx, int* status);

// Each reader returns 0 with the value, or the message and exit status 2. A required
// option that is missing is refused too.
//
// A Julian day inside the span of the ephemeris files (finite: NaN, infinities and
// 1e308 are refused, not computed).
int ReadJulianDay(const char* command, const CliArgs& args, const char* option, double* jd);
// A Julian day the calendar can show (years -4712 to 9999), for the date command.
int ReadCalendarJulianDay(const char* command, std::string_view text, double* jd);
// A packed latitude (--lat) and longitude (--lon): degrees.minutes, minutes below 60.
int ReadPlace(const char* command, const CliArgs& args, double* lat_packed, double* lon_packed);
// A house-system number 1..12; `fallback` when the option is absent.
int ReadHouseSystem(const char* command, const CliArgs& args, int16_t fallback, int16_t* system);
// A whole number / a finite number after the option.
int ReadInteger(const char* command, const CliArgs& args, const char* option, long long* value);
int ReadNumber(const char* command, const CliArgs& args, const char* option, double* value);

}  // namespace kv::cli
