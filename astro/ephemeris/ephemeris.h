// The ephemeris engine: finds the data directory, keeps one open file per family
// (planets, Moon, main asteroids, one numbered asteroid), loads coefficient segments
// and evaluates raw body vectors. One process-wide engine state, made afresh by
// InitEphemeris and kept until the end of the run.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "astro/ephemeris/body_distances.h"
#include "astro/ephemeris/ephemeris_format.h"
#include "astro/nutation.h"
#include "astro/obliquity.h"
#include "astro/precession.h"
#include "common/status.h"

namespace kv {

// Internal body numbers (the numbers inside the files).
inline constexpr int kIntEmb = 0;
inline constexpr int kIntMoon = 1;
inline constexpr int kIntMercury = 2;
inline constexpr int kIntPluto = 9;
inline constexpr int kIntSun = 10;
inline constexpr int kIntChiron = 12;
inline constexpr int kIntPholus = 13;
inline constexpr int kIntCeres = 14;
inline constexpr int kIntVesta = 17;
inline constexpr int kIntAsteroid = 18;  // slot for one numbered asteroid
inline constexpr int kIntBodyCount = 19;
inline constexpr int kIntNone = 11;  // a number no file uses
inline constexpr int kNumberedAsteroidBase = 10000;

// The file slots, one per family of files.
inline constexpr int kSlotPlanets = 0;  // the Earth-Moon barycentre, Mercury..Pluto, the Sun
inline constexpr int kSlotMoon = 1;
inline constexpr int kSlotMainAsteroids = 2;  // Chiron, Pholus, Ceres..Vesta
inline constexpr int kSlotNumberedAsteroid = 3;
inline constexpr int kSlotCount = 4;
inline constexpr int kFlagSpeed = 256;

// Span of the start-up files a chart may use (Universal Time Julian days).
inline constexpr double kChartRangeFirst = 2378499.0;  // 3 January 1800 12:00
inline constexpr double kChartRangeLast = 2597640.0;   // 30 December 2399 12:00

struct EphemerisFileSlot {
  std::string name;             // full file name; empty when nothing is open
  std::vector<uint8_t> bytes;   // the whole file, read once when it is opened
  double jd_first = 0, jd_last = 0;
  int16_t body_count = 0;
  uint16_t order_flags = 0;
  int16_t bodies[kMaxBodiesPerFile] = {};
  FileHeader header;            // as decoded: where each body's indexes and segments lie
  bool little_endian = true;
  bool open() const { return !name.empty(); }
};

// Most doubles one body keeps unpacked (32 MB).
inline constexpr size_t kMaxUnpackedDoubles = size_t{4} << 20;

struct EphemerisBody {
  BodyHeader header;            // fields of the file header
  bool in_file = false;         // a header has filled the record
  int slot = -1;
  int order = 0;                // position in the file's body list
  DistanceRange range;          // where the body can be (SegmentDistanceRange of its record)
  // Current segment: its coefficients point into `unpacked`.
  bool has_segment = false;
  double seg_first = 0, seg_last = 0;
  const double* coeffs = nullptr;  // 3 x coeff_count: x block, y block, z block
  int eval_count = 0;
  // Segments unpacked so far stay, so that charts at scattered dates unpack each
  // segment once. Slot i (3 x coeff_count doubles at unpacked[3ni..)) holds segment
  // unpacked_segment[i] (-1: none) with unpacked_count[i] coefficients worth
  // evaluating; segment k goes to slot k % slots. Room is taken at the first load and
  // filled as segments are read: a slot for every segment of the start-up files (about
  // 10 MB in all), fewer for a file whose header asks for more than kMaxUnpackedDoubles.
  std::unique_ptr<double[]> unpacked;
  std::vector<long> unpacked_segment;
  std::vector<int> unpacked_count;
  // What the join checks found, per segment of the file: joined[k] when segments k and
  // k + 1 were found to meet; ends[6k..6k+6) the coordinates at the start and at the
  // end of segment k when has_ends[k].
  std::vector<uint8_t> joined;
  std::vector<uint8_t> has_ends;
  std::vector<double> ends;
  // Raw vector cache.
  double cache_jd = 0;
  bool cache_has_speed = false;
  double cache[6] = {};
};

// Called when the file of a family for a date is missing; returns true to go on with
// a zero position, false to stop the calculation (EvaluateBody then fails with the
// message "Не открывается файл эфемерид"). The default warns and goes on; the window
// program asks the user, and ends the run itself when the user chooses to.
using MissingFileHandler = bool (*)(const std::string& file_name);
MissingFileHandler SetMissingFileHandler(MissingFileHandler handler);

// The apparent place of a body as the position routine made it for one date.
struct ApparentResult {
  int flags = -1;  // the calculation flags it was made with; -1 when there is none
  double jd = 0;
  bool has_equatorial_polar = false;  // block 12..17 filled (not needed for a chart)
  double block[24] = {};
};

// Result of a point that is not a body of the files (node, apogee).
struct LunarPointRecord {
  double jd = 0;
  int flags = -1;
  double result[24] = {};
};

// What the position routines keep between calls, each part with its date, so that the
// many calls of one chart share their work. A part is forgotten by assigning a fresh
// value; the whole cache goes with the engine when InitEphemeris makes a new one.
struct ApparentPlaceCache {
  // The barycentric Earth made from the barycentre and the Moon, kept for one date.
  double earth_jd = 0;
  bool earth_has_speed = false;
  double earth[6] = {};
  ApparentResult bodies[kIntBodyCount];  // by internal number
  LunarPointRecord lunar_points[4];  // mean node, true node, mean apogee, osculating apogee
};

struct EphemerisEngine {
  std::string prefix;  // put in front of every file name
  EphemerisFileSlot file_slots[kSlotCount];
  EphemerisBody bodies[kIntBodyCount];
  ObliquityRecord oblique_j2000;
  ObliquityRecord oblique_date;
  NutationRecord nutation;        // for the date of the last calculation
  NutationRecord nutation_prev;   // for that date - 0.0001 day (speeds)
  PrecessionRecord precession;    // J2000 to the date of the last calculation
  Status failure;                 // the last failure: which file (message for the user)
  ApparentPlaceCache apparent;
  // Files of a known release are checked against their digest when opened; tests of
  // the plausibility checks clear it before InitEphemeris.
  bool check_known_releases = true;
  bool initialised = false;
};

// The process-wide engine state; an object of namespace scope rather than a local
// static, so that the many calls of a chart do not each test its initialisation.
extern EphemerisEngine g_ephemeris_engine;
inline EphemerisEngine& Engine() { return g_ephemeris_engine; }

// Finds the directory, makes a fresh engine state, opens the start-up files. A
// missing or damaged single-asteroid file "se00010s.se1" is journalled and skipped.
//   ephe_dir  a directory given by the user (command line); empty to search
//   check_known_releases  see EphemerisEngine (kept across the reset)
//   returns   ok; NotFound with "Директория Эфемерид не найдена" or "Файл %s (%s) не
//             открывается"; Corruption naming a damaged start-up file
Status InitEphemeris(const std::string& ephe_dir = "", bool check_known_releases = true);

// The directory prefix chosen by the search, or NotFound with "Директория Эфемерид не
// найдена". Order: "dirswe.ctl" in the current directory, "sepl_18.se1" there, the
// standard system data folders.
Status LocateEphemerisDirectory(std::string* prefix);
inline constexpr const char* kEphemerisControlFile = "dirswe.ctl";
// The directory prefix a "dirswe.ctl" text names: its first line that is neither blank
// nor a comment ("*" first), blanks around it dropped, a "/" added when it has no
// closing separator. Nothing when no line names one (the search then goes on).
std::optional<std::string> EphemerisDirectoryOfControl(std::string_view text);

// Name of the file of a body's family that covers a Julian day, without the prefix.
std::string EphemerisFileNameFor(double jd, int body);

// The engine's routines below answer with a Status: ok; NotFound when no file or
// segment holds the date (the calculation goes on without the body); otherwise a
// failure whose message, for the user, is kept in Engine().failure as well:
// Corruption for a damaged file, IoError for one that cannot be read, Cancelled when
// the missing-file handler stopped the calculation.

// Opens the file of the body's family covering jd. On a failure the slot keeps the
// file it had.
Status SwitchEphemerisFile(double jd, int body);

// Reads the segment of a body covering jd and checks that it meets its neighbours
// (the segments before and after it) within the fitting noise of the files.
Status LoadSegment(double jd, int body);

// Largest gap allowed where two segments of a body meet, in units of the body's
// packed coefficients (normalisation / 2 x 1e-9 AU). Sound files meet within 22 units
// (one asteroid within 109); a damaged coefficient byte usually moves the ends by more.
inline constexpr double kSegmentJoinUnits = 256.0;

// Raw rectangular position (AU) and velocity (AU/day) on the equator of J2000:
// barycentric, the Moon geocentric, heliocentric where the body's flag 1 says so.
//   jd_et   ephemeris time; body internal number or public asteroid number > 10000
//   flags   kFlagSpeed asks for the velocity
//   keep    store the result in the body's cache (clears its derived result)
//   returns ok; NotFound, out all zero, when no data covers the date; Corruption
//           for a damaged file, also when the evaluated vector lies outside the
//           body's physical distances (body_distances.h)
Status EvaluateBody(double jd_et, int body, int flags, bool keep, double* out);

// True when jd_ut lies in the span of the start-up files, else the warning "DEp" and
// false.
bool EphemerisDateInRange(double jd_ut);

}  // namespace kv
