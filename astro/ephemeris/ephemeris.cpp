#include "astro/ephemeris/ephemeris.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "astro/constants.h"
#include "astro/ephemeris/body_distances.h"
#include "astro/ephemeris/chebyshev.h"
#include "common/calendar.h"
#include "common/codepage.h"
#include "common/files.h"
#include "common/journal.h"
#include "common/numbers.h"
#include "common/messages.h"

namespace kv {

namespace {

constexpr const char* kStartupFiles[kSlotCount] = {"sepl_18.se1", "semo_18.se1", "seas_18.se1",
                                                   "se00010s.se1"};
// Largest file the reader accepts; the real ones are a few megabytes.
constexpr size_t kMaxFileBytes = size_t{64} << 20;
// A control file names one folder; anything larger is not one.
constexpr size_t kMaxControlBytes = size_t{64} << 10;

bool DefaultMissingFile(const std::string& name) {
  WarningPrintf("%s: %s", W("Не открывается файл эфемерид").c_str(), name.c_str());
  return true;
}

MissingFileHandler g_missing_file = DefaultMissingFile;

Status CannotOpen(const std::string& name) {
  return Status::NotFound(FormatMessage(W("Файл %s (%s) не открывается").c_str(), name.c_str(), "rb"));
}

// Records damage of a file: the details go to the journal, the message for the user
// names the file (or, for a block with too many coefficients, gives the counts). The
// failure is kept in the engine and returned.
Status Damage(const Status& decoded, const std::string& file_name,
              const CoefficientOverflow& overflow = {}) {
  EphemerisEngine& e = Engine();
  JournalText(file_name + ": " + decoded.message());
  std::string message;
  if (decoded.code() == StatusCode::kTooLarge)
    message = FormatMessage(W("Ошибка эфемерид: nco=%d > %d.").c_str(), overflow.found,
                            overflow.allowed);
  else
    message = FormatMessage(Text("EphDam").c_str(), file_name.c_str());
  e.failure = Status::Corruption(message);
  return e.failure;
}

Status DamageAt(const char* what, int body, double jd) {
  return Status::Corruption(std::string(what) + ": body " + std::to_string(body) + " at " +
                            FormatFixed(jd, 6));
}

int SlotOfBody(int body) {
  if (body == kIntMoon) return kSlotMoon;
  if (body == kIntEmb || (body >= kIntMercury && body <= kIntSun)) return kSlotPlanets;
  if (body == kIntAsteroid) return kSlotNumberedAsteroid;
  return kSlotMainAsteroids;
}

// Forgets the segment and every result made from it.
void ReleaseSegment(EphemerisEngine& e, int index) {
  EphemerisBody& b = e.bodies[index];
  b.has_segment = false;
  b.coeffs = nullptr;
  b.cache_jd = 0;
  b.cache_has_speed = false;
  e.apparent.bodies[index] = ApparentResult{};
}

// Forgets the unpacked segments and what the join checks found, for a body whose file
// has changed.
void ForgetSegments(EphemerisBody& b) {
  const size_t segments = b.header.segment_count > 0 ? static_cast<size_t>(b.header.segment_count) : 0;
  b.coeffs = nullptr;
  b.unpacked.reset();
  b.unpacked_segment.clear();
  b.unpacked_count.clear();
  b.joined.assign(segments, 0);
  b.has_ends.assign(segments, 0);
  b.ends.assign(6 * segments, 0.0);
}

// Reads a file into a slot and fills the records of its bodies: ok; the failure of
// reading it (NotFound, IoError, TooLarge); or its damage, recorded in the engine.
Status OpenIntoSlot(int slot, const std::string& name) {
  EphemerisEngine& e = Engine();
  EphemerisFileSlot& s = e.file_slots[slot];
  std::vector<uint8_t> bytes;
  if (Status read = ReadWholeFile(name, &bytes, kMaxFileBytes); !read.ok()) return read;
  FileHeader h;
  Status st = DecodeHeader(bytes, slot == kSlotNumberedAsteroid, &h);
  if (st.ok() && e.check_known_releases) st = CheckKnownRelease(bytes, h);
  if (!st.ok()) return Damage(st, name);
  // Each family's file holds only its own bodies.
  for (const BodyHeader& b : h.bodies)
    if (slot != kSlotNumberedAsteroid &&
        (b.number < 0 || b.number >= kIntAsteroid || b.number == kIntNone ||
         SlotOfBody(b.number) != slot))
      return Damage(Status::Corruption("body of another family"), name);
  // Bodies of the file that was in the slot are not in the new one unless it lists them.
  for (int i = 0; i < kIntBodyCount; ++i)
    if (e.bodies[i].slot == slot && e.bodies[i].in_file) {
      e.bodies[i].in_file = false;
      ReleaseSegment(e, i);
    }
  s = EphemerisFileSlot{};
  s.name = name;
  s.bytes = std::move(bytes);
  s.jd_first = h.jd_first;
  s.jd_last = h.jd_last;
  s.order_flags = static_cast<uint16_t>(h.order_flags);
  s.little_endian = (h.order_flags & kOrderLittleEndian) != 0;
  s.body_count = static_cast<int16_t>(h.bodies.size());
  s.header = h;
  for (size_t i = 0; i < h.bodies.size(); ++i) {
    const BodyHeader& bh = h.bodies[i];
    s.bodies[i] = static_cast<int16_t>(bh.number);
    const int index = slot == kSlotNumberedAsteroid ? kIntAsteroid : bh.number;
    EphemerisBody& b = e.bodies[index];
    b.header = bh;
    b.in_file = true;
    b.slot = slot;
    b.order = static_cast<int>(i);
    b.range = SegmentDistanceRange(index == kIntAsteroid ? -1 : index, bh.flags);
    ReleaseSegment(e, index);
    ForgetSegments(b);
  }
  return Status::Ok();
}

std::string TrimLine(std::string line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ' ||
                           line.back() == '\t'))
    line.pop_back();
  return line;
}

bool Exists(const std::string& name) {
  std::FILE* f = std::fopen(name.c_str(), "rb");
  if (f) std::fclose(f);
  return f != nullptr;
}

std::string WithSeparator(std::string dir) {
  if (!dir.empty() && dir.back() != '/' && dir.back() != '\\') dir += '/';
  return dir;
}

}  // namespace

MissingFileHandler SetMissingFileHandler(MissingFileHandler handler) {
  MissingFileHandler old = g_missing_file;
  g_missing_file = handler ? handler : DefaultMissingFile;
  return old;
}

EphemerisEngine g_ephemeris_engine;

std::optional<std::string> EphemerisDirectoryOfControl(std::string_view text) {
  // A NUL ends the text, as it ends a path.
  text = text.substr(0, text.find('\0'));
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string line = TrimLine(std::string(text.substr(pos, end - pos)));
    pos = end + 1;
    if (line.empty() || line[0] == '*' || line.find_first_not_of(" \t") == std::string::npos)
      continue;
    // A directory written without its closing separator still names the folder.
    return WithSeparator(line.substr(line.find_first_not_of(" \t")));
  }
  return std::nullopt;
}

Status LocateEphemerisDirectory(std::string* prefix) {
  std::string control;
  const Status read = ReadWholeFile(kEphemerisControlFile, &control, kMaxControlBytes);
  if (read.ok()) {
    if (auto dir = EphemerisDirectoryOfControl(control)) {
      *prefix = *dir;
      return {};
    }
  } else if (!read.IsNotFound()) {
    Journal("%s: %s", kEphemerisControlFile, read.message().c_str());
  }
  if (Exists(kStartupFiles[0])) {
    prefix->clear();
    return {};
  }
  // Debian's swe-basic-data installs its files here (the name is built from pieces).
  const std::string family = std::string("lib") + "swe";
  const std::string folders[] = {"/usr/share/" + family + "/ephe/",
                                 "/usr/local/share/" + family + "/ephe/"};
  for (const std::string& dir : folders)
    if (Exists(dir + kStartupFiles[0])) {
      *prefix = dir;
      return {};
    }
  return Status::NotFound(W("Директория Эфемерид не найдена"));
}

Status InitEphemeris(const std::string& ephe_dir, bool check_known_releases) {
  EphemerisEngine& e = Engine();
  e = EphemerisEngine{};
  e.check_known_releases = check_known_releases;
  if (!ephe_dir.empty()) {
    e.prefix = WithSeparator(ephe_dir);
  } else {
    Status s = LocateEphemerisDirectory(&e.prefix);
    if (!s.ok()) return s;
  }
  e.oblique_j2000 = MakeObliquityRecord(kJ2000);
  for (int slot = 0; slot < kSlotCount; ++slot) {
    const std::string name = e.prefix + kStartupFiles[slot];
    const Status opened = OpenIntoSlot(slot, name);
    if (opened.ok()) continue;
    const bool unread = !opened.IsCorruption();  // the bytes never came in
    // No caller uses the single asteroid, and the common data packages lack its file:
    // missing or damaged, it stays unavailable.
    if (slot == kSlotNumberedAsteroid) {
      Journal("%s: %s, numbered asteroid unavailable", name.c_str(),
              unread ? "not found" : "damaged");
      if (!unread) e.file_slots[kSlotNumberedAsteroid] = EphemerisFileSlot{};
      continue;
    }
    return unread ? CannotOpen(name) : opened;
  }
  e.initialised = true;
  return Status::Ok();
}

std::string EphemerisFileNameFor(double jd, int body) {
  char buf[64];
  if (body > kNumberedAsteroidBase) {
    std::snprintf(buf, sizeof buf, "se%05ds.se1", body - kNumberedAsteroidBase);
    return buf;
  }
  const char* family = body == kIntMoon                                          ? "mo"
                       : (body == kIntEmb || (body >= kIntMercury && body <= kIntSun)) ? "pl"
                                                                                       : "as";
  const int year = JulianDayToDate(jd).year;
  int n = static_cast<int>(std::floor(year / 100.0));
  while (n % 6 != 0) --n;  // files cover 600 years
  std::snprintf(buf, sizeof buf, "se%s%c%02d.se1", family, n >= 0 ? '_' : 'm', n < 0 ? -n : n);
  return buf;
}

Status SwitchEphemerisFile(double jd, int body) {
  EphemerisEngine& e = Engine();
  if (jd < 0) {
    Journal("Err Smena: ipl=%d tjd=%f", body, jd);
    return Status::NotFound("no file for a negative date");
  }
  const int record = body > kNumberedAsteroidBase ? kIntAsteroid : body;
  const int slot = SlotOfBody(record);
  const std::string name = e.prefix + EphemerisFileNameFor(jd, body);
  if (!Exists(name)) {
    Journal("%s", name.c_str());
    if (g_missing_file(name)) return Status::NotFound(name);
    e.failure = Status::Cancelled(FormatMessage("%s: %s", W("Не открывается файл эфемерид").c_str(),
                                                name.c_str()));
    return e.failure;
  }
  // A file that cannot be read or is damaged leaves the slot and its bodies as they
  // were; the caller gets no position.
  const Status opened = OpenIntoSlot(slot, name);
  if (opened.ok() || opened.IsCorruption()) return opened;
  e.failure = Status::IoError(CannotOpen(name).message());
  return e.failure;
}

namespace {

// Segment k of a body unpacked into coeffs (3 x n) and turned into the frame of the
// J2000 equator; *eval_count is the number of coefficients worth evaluating.
Status UnpackSegment(int body, long k, double* coeffs, int* eval_count,
                     CoefficientOverflow* overflow) {
  EphemerisEngine& e = Engine();
  const EphemerisBody& b = e.bodies[body];
  const BodyHeader& h = b.header;
  const EphemerisFileSlot& s = e.file_slots[b.slot];
  const ByteImage image(s.bytes.data(), s.bytes.size(), s.little_endian);
  const int n = h.coeff_count;
  Status st = DecodeSegment(image, s.header, b.order, k, coeffs, overflow);
  if (!st.ok()) return st;
  *eval_count = n;
  if (!(h.flags & kCoeffRotated)) return st;

  double* x = coeffs;
  double* y = x + n;
  double* z = y + n;
  const double seg_first = h.jd_first + k * h.segment_days;
  const double t = (seg_first + h.segment_days / 2 - h.ref_epoch) / 365250.0;
  double qq, pp;
  if (body == kIntMoon) {
    double dn = h.p + t * h.p_rate;
    dn -= std::floor(dn / kTwoPi) * kTwoPi;
    qq = (h.q + t * h.q_rate) * std::cos(dn);
    pp = (h.q + t * h.q_rate) * std::sin(dn);
  } else {
    qq = h.q + t * h.q_rate;
    pp = h.p + t * h.p_rate;
  }
  if (h.flags & kCoeffEllipse) {
    if (h.ellipse.size() != 2 * static_cast<size_t>(n))
      return DamageAt("reference ellipse missing", body, seg_first);
    double w = h.peri + t * h.peri_rate;
    w -= std::floor(w / kTwoPi) * kTwoPi;
    const double cw = std::cos(w), sw = std::sin(w);
    const double* ex = h.ellipse.data();
    const double* ey = ex + n;
    for (int i = 0; i < n; ++i) {
      x[i] += cw * ex[i] - sw * ey[i];
      y[i] += cw * ey[i] + sw * ex[i];
    }
  }
  const double c = 1.0 / (1 + qq * qq + pp * pp);
  const double uz[3] = {2 * pp * c, -2 * qq * c, (1 - qq * qq - pp * pp) * c};
  const double ux[3] = {(1 + qq * qq - pp * pp) * c, 2 * qq * pp * c, -2 * pp * c};
  const double uy[3] = {2 * qq * pp * c, (1 - qq * qq + pp * pp) * c, 2 * qq * c};
  const double se = e.oblique_j2000.sin_eps, ce = e.oblique_j2000.cos_eps;
  *eval_count = 0;
  for (int i = 0; i < n; ++i) {
    const double xr = x[i] * ux[0] + y[i] * uy[0] + z[i] * uz[0];
    double yr = x[i] * ux[1] + y[i] * uy[1] + z[i] * uz[1];
    double zr = x[i] * ux[2] + y[i] * uy[2] + z[i] * uz[2];
    if (std::fabs(xr) + std::fabs(yr) + std::fabs(zr) >= 1e-14) *eval_count = i;
    if (body == kIntMoon) {  // the Moon's coefficients are on the ecliptic of J2000
      const double y2 = ce * yr - se * zr;
      zr = se * yr + ce * zr;
      yr = y2;
    }
    x[i] = xr;
    y[i] = yr;
    z[i] = zr;
  }
  return st;
}

// Segment k of a body from its unpacked slots, unpacked there first when it is not
// yet: *coeffs (3 x n) and *eval_count as UnpackSegment gives them. The pointer stays
// valid until a segment of the same slot is unpacked; k and k + 1 never share one.
Status UnpackedSegment(int body, long k, const double** coeffs, int* eval_count,
                       CoefficientOverflow* overflow) {
  EphemerisBody& b = Engine().bodies[body];
  const size_t n3 = 3 * static_cast<size_t>(std::max(b.header.coeff_count, 1));
  if (!b.unpacked) {
    const size_t segments = static_cast<size_t>(std::max(b.header.segment_count, 1L));
    const size_t slots = std::min(std::max<size_t>(kMaxUnpackedDoubles / n3, 2), segments);
    b.unpacked = std::make_unique_for_overwrite<double[]>(slots * n3);
    b.unpacked_segment.assign(slots, -1);
    b.unpacked_count.assign(slots, 0);
  }
  const size_t slots = b.unpacked_segment.size();
  const size_t index = static_cast<size_t>(k);
  const size_t slot = index < slots ? index : index % slots;  // a division only when fewer
  double* c = b.unpacked.get() + slot * n3;
  if (b.unpacked_segment[slot] != k) {
    b.unpacked_segment[slot] = -1;
    std::fill(c, c + n3, 0.0);
    int count = 0;
    if (Status st = UnpackSegment(body, k, c, &count, overflow); !st.ok()) return st;
    b.unpacked_segment[slot] = k;
    b.unpacked_count[slot] = count;
  }
  *coeffs = c;
  *eval_count = b.unpacked_count[slot];
  return Status::Ok();
}

// Value of the three coordinates of an unpacked segment at t = -1 or t = 1.
void SegmentEnd(const double* coeffs, int n, int eval_count, double t, double* xyz) {
  for (int axis = 0; axis < 3; ++axis) xyz[axis] = ChebyshevValue(t, coeffs + axis * n, eval_count);
}

// Both ends of segment k, from its unpacked coefficients, kept in the body's record.
const double* KeepEnds(EphemerisBody& b, long k, const double* coeffs, int eval_count) {
  double* ends = b.ends.data() + 6 * static_cast<size_t>(k);
  if (!b.has_ends[static_cast<size_t>(k)]) {
    SegmentEnd(coeffs, b.header.coeff_count, eval_count, -1.0, ends);
    SegmentEnd(coeffs, b.header.coeff_count, eval_count, 1.0, ends + 3);
    b.has_ends[static_cast<size_t>(k)] = 1;
  }
  return ends;
}

// Whether segment k meets the segment `other` (k - 1 or k + 1) within the join limit.
// The neighbour is unpacked only when its ends are not known yet.
Status CheckJoin(int body, long k, const double* coeffs, int eval_count, long other,
                 CoefficientOverflow* overflow) {
  EphemerisBody& b = Engine().bodies[body];
  const BodyHeader& h = b.header;
  const double* mine = KeepEnds(b, k, coeffs, eval_count);
  if (!b.has_ends[static_cast<size_t>(other)]) {
    const double* neighbour = nullptr;
    int neighbour_count = 0;
    Status st = UnpackedSegment(body, other, &neighbour, &neighbour_count, overflow);
    if (!st.ok()) return st;
    KeepEnds(b, other, neighbour, neighbour_count);
  }
  const double* theirs = b.ends.data() + 6 * static_cast<size_t>(other);
  // The start of k against the end of the one before, or its end against the start
  // of the one after.
  const bool before = other < k;
  if (before) theirs += 3;
  else mine += 3;
  const double limit = kSegmentJoinUnits * h.norm / 2 * 1e-9;
  for (int axis = 0; axis < 3; ++axis)
    if (!(std::fabs(mine[axis] - theirs[axis]) <= limit))
      return DamageAt("segments do not meet", body, h.jd_first + std::max(k, other) * h.segment_days);
  b.joined[static_cast<size_t>(std::min(k, other))] = 1;
  return Status::Ok();
}

}  // namespace

Status LoadSegment(double jd, int body) {
  EphemerisEngine& e = Engine();
  EphemerisBody& b = e.bodies[body];
  const BodyHeader& h = b.header;
  if (jd < h.jd_first) {
    Journal("Err new_segm: ipli=%d tjd=%f tfstart=%f", body, jd, h.jd_first);
    return Status::NotFound("before the first segment");
  }
  double kd = std::floor((jd - h.jd_first) / h.segment_days);
  // The quotient may round below a whole number at a segment's start.
  if (h.jd_first + (kd + 1) * h.segment_days <= jd) kd += 1;
  // The last segment of a body ends exactly at its last day; past that there is no index.
  if (kd >= static_cast<double>(h.segment_count)) {
    if (kd * h.segment_days + h.jd_first > h.jd_last || kd > 1e9) {
      Journal("Err new_segm: ipli=%d tjd=%f tfend=%f", body, jd, h.jd_last);
      return Status::NotFound("after the last segment");
    }
    kd = static_cast<double>(h.segment_count - 1);
  }
  const long k = static_cast<long>(kd);
  b.has_segment = false;
  if (b.joined.size() != static_cast<size_t>(h.segment_count)) ForgetSegments(b);
  const double* coeffs = nullptr;
  int eval_count = 0;
  CoefficientOverflow overflow;
  Status st = UnpackedSegment(body, k, &coeffs, &eval_count, &overflow);
  // A join found sound once stays sound: the file's bytes do not change while it is open.
  if (st.ok() && k > 0 && !b.joined[static_cast<size_t>(k - 1)])
    st = CheckJoin(body, k, coeffs, eval_count, k - 1, &overflow);
  if (st.ok() && k + 1 < h.segment_count && !b.joined[static_cast<size_t>(k)])
    st = CheckJoin(body, k, coeffs, eval_count, k + 1, &overflow);
  if (!st.ok()) return Damage(st, e.file_slots[b.slot].name, overflow);
  b.seg_first = h.jd_first + k * h.segment_days;
  b.seg_last = b.seg_first + h.segment_days;
  b.coeffs = coeffs;
  b.has_segment = true;
  b.eval_count = eval_count;
  return Status::Ok();
}

Status EvaluateBody(double jd, int body, int flags, bool keep, double* out) {
  EphemerisEngine& e = Engine();
  for (int i = 0; i < 6; ++i) out[i] = 0.0;
  const int record = body > kNumberedAsteroidBase ? kIntAsteroid : body;
  if (record < 0 || record >= kIntBodyCount) return Status::NotFound("no such body in the files");
  EphemerisBody& b = e.bodies[record];
  const bool want_speed = (flags & kFlagSpeed) != 0;
  if (record != kIntAsteroid && b.cache_jd == jd && jd != 0 &&
      (!want_speed || b.cache_has_speed)) {
    for (int i = 0; i < 6; ++i) out[i] = b.cache[i];
    return Status::Ok();
  }
  if (b.slot < 0) b.slot = SlotOfBody(record);
  EphemerisFileSlot& s = e.file_slots[b.slot];
  bool other_asteroid = record == kIntAsteroid && b.in_file &&
                        b.header.number != body - kNumberedAsteroidBase;
  if (!s.open() || !b.in_file || jd < s.jd_first || jd > s.jd_last || other_asteroid) {
    if (Status switched = SwitchEphemerisFile(jd, body); !switched.ok()) return switched;
    if (!b.in_file || jd < e.file_slots[b.slot].jd_first || jd > e.file_slots[b.slot].jd_last)
      return Status::NotFound("the file does not cover the date");
  }
  if (!b.has_segment || jd < b.seg_first || jd > b.seg_last) {
    if (Status loaded = LoadSegment(jd, record); !loaded.ok()) return loaded;
  }
  const int n = b.header.coeff_count;
  const double len = b.header.segment_days;
  const double t = 2 * (jd - b.seg_first) / len - 1;
  const bool speed = want_speed || keep;
  if (speed) {
    double derivative[3];
    ChebyshevXyz(t, b.coeffs, n, b.eval_count, out, derivative);
    for (int axis = 0; axis < 3; ++axis) out[axis + 3] = derivative[axis] * 2 / len;
  } else {
    ChebyshevXyz(t, b.coeffs, n, b.eval_count, out, nullptr);
    for (int axis = 3; axis < 6; ++axis) out[axis] = 0.0;
  }
  // Damage the format cannot see shows as a body where it cannot be.
  const DistanceRange& range = b.range;
  const double r = std::sqrt(out[0] * out[0] + out[1] * out[1] + out[2] * out[2]);
  if (range.max_au > 0 && !(r >= range.min_au && r <= range.max_au)) {
    for (int i = 0; i < 6; ++i) out[i] = 0.0;
    b.has_segment = false;
    return Damage(DamageAt("distance outside the body's range", record, jd), s.name);
  }
  if (record == kIntSun && (b.header.flags & kCoeffEmbHeliocentric)) {
    // The Sun record holds the heliocentric barycentre of Earth and Moon.
    EphemerisBody& emb = e.bodies[kIntEmb];
    double bary[6];
    Status st;
    if (speed && emb.cache_jd == jd && jd != 0 && emb.cache_has_speed) {
      // The barycentre kept for this moment is what evaluating it again would give.
      for (int i = 0; i < 6; ++i) bary[i] = emb.cache[i];
    } else {
      const double saved = emb.cache_jd;
      emb.cache_jd = 0;
      st = EvaluateBody(jd, kIntEmb, flags | (speed ? kFlagSpeed : 0), false, bary);
      emb.cache_jd = saved;
    }
    if (!st.ok()) {
      for (int i = 0; i < 6; ++i) out[i] = 0.0;
      return st;
    }
    for (int i = 0; i < 6; ++i) out[i] = bary[i] - out[i];
    const double sun = std::sqrt(out[0] * out[0] + out[1] * out[1] + out[2] * out[2]);
    if (!(sun <= kMaxSunOffsetAu)) {
      for (int i = 0; i < 6; ++i) out[i] = 0.0;
      return Damage(DamageAt("Sun too far from the barycentre", record, jd), s.name);
    }
  }
  if (record == kIntAsteroid) {
    double sun[6];
    if (Status st = EvaluateBody(jd, kIntSun, flags | kFlagSpeed, false, sun); !st.ok()) return st;
    for (int i = 0; i < 6; ++i) out[i] += sun[i];
  }
  if (keep) {
    b.cache_jd = jd;
    b.cache_has_speed = true;
    for (int i = 0; i < 6; ++i) b.cache[i] = out[i];
    e.apparent.bodies[record].flags = -1;  // the apparent place no longer belongs to it
  }
  return Status::Ok();
}

bool EphemerisDateInRange(double jd_ut) {
  if (jd_ut >= kChartRangeFirst && jd_ut <= kChartRangeLast) return true;
  WarningFormat("DEp", FormatDateTime(jd_ut).c_str());
  return false;
}

}  // namespace kv
