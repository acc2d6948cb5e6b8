#include "astro/ephemeris/ephemeris_format.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "common/coding.h"

namespace kv {

bool ByteImage::Unsigned(size_t pos, int bytes, uint64_t* out) const {
  if (bytes < 1 || bytes > 8 || !Has(pos, static_cast<size_t>(bytes))) return false;
  *out = DecodeUnsigned(data_ + pos, bytes, little_);
  return true;
}

bool ByteImage::Double(size_t pos, double* out) const {
  uint64_t v;
  if (!Unsigned(pos, 8, &v)) return false;
  std::memcpy(out, &v, sizeof v);
  return true;
}

namespace {

Status Damaged(const char* what, size_t pos, int size = 0, int count = 0,
               StatusCode code = StatusCode::kCorruption) {
  char buf[160];
  if (size > 0)
    std::snprintf(buf, sizeof buf, "off=%ld size=%d count=%d (%s)", static_cast<long>(pos),
                  size, count, what);
  else
    std::snprintf(buf, sizeof buf, "%s at %ld", what, static_cast<long>(pos));
  return Status::Error(code, buf);
}

// A cursor that reads consecutive fields and remembers the first short read.
struct Cursor {
  const ByteImage& image;
  size_t pos;
  Status status;

  uint64_t U(int bytes) {
    uint64_t v = 0;
    if (status.ok() && !image.Unsigned(pos, bytes, &v)) status = Damaged("short read", pos, bytes, 1);
    pos += bytes;
    return status.ok() ? v : 0;
  }
  double D() {
    double v = 0;
    if (status.ok() && !image.Double(pos, &v)) status = Damaged("short read", pos, 8, 1);
    pos += 8;
    return status.ok() ? v : 0;
  }
  void Skip(size_t n) {
    if (status.ok() && !image.Has(pos, n)) status = Damaged("short read", pos, 1, static_cast<int>(n));
    pos += n;
  }
};

bool Finite(double v) { return std::isfinite(v); }

// Bounds of a body's constants. They are far wider than any real file needs and only
// catch a damaged byte in a high place.
constexpr double kMinSegmentDays = 1.0;       // the Moon's files use 27.55 days
constexpr double kMaxSegmentDays = 100000.0;  // the outer planets use 4000 days
constexpr uint32_t kMaxNormThousandths = 10000000;  // real files: 4 .. 100000
constexpr double kMaxEllipseAu = 1000.0;
// The coefficient frame's tilt against the equator of J2000 is given as tan(i/2) (p and
// q), below 1 for every tilt under 90 degrees; the Moon's p is an angle (its node), and
// its rate (about 338 radians per millennium) the regression of the node.
constexpr double kMaxTiltTangent = 1.0;
constexpr double kMaxAngleRadians = 10000.0;
constexpr double kMaxRatePerMillennium = 1000.0;
constexpr int kMoonNumber = 1;
constexpr int kKnownFlags = kCoeffHeliocentric | kCoeffRotated | kCoeffEllipse |
                            kCoeffEmbHeliocentric;

Status CheckBodyConstants(const BodyHeader& b, const FileHeader& file, size_t at) {
  char what[120];
  auto bad = [&](const char* field) {
    std::snprintf(what, sizeof what, "body %d: implausible %s", b.number, field);
    return Damaged(what, at);
  };
  if ((b.flags & ~kKnownFlags) != 0 || ((b.flags & kCoeffEllipse) && !(b.flags & kCoeffRotated)))
    return bad("coefficient flags");
  if (b.coeff_count < 1 || b.coeff_count > kMaxBlockCoefficients) return bad("coefficient count");
  if (!(b.norm > 0) || b.norm * 1000 > kMaxNormThousandths) return bad("normalisation factor");
  if (!Finite(b.jd_first) || !Finite(b.jd_last) || !(b.jd_first < b.jd_last))
    return bad("first or last day");
  if (!Finite(b.segment_days) || b.segment_days < kMinSegmentDays ||
      b.segment_days > kMaxSegmentDays)
    return bad("segment length");
  // The body's span must overlap the file's and hold a whole number of segments.
  if (b.jd_first > file.jd_last || b.jd_last < file.jd_first) return bad("first or last day");
  const double segments = (b.jd_last - b.jd_first) / b.segment_days;
  const double whole = std::round(segments);
  if (std::fabs(segments - whole) > 1e-6 || whole < 1 || whole > 1e7)
    return bad("number of segments");
  if (b.flags & kCoeffRotated) {
    const bool moon = b.number == kMoonNumber;
    if (!Finite(b.ref_epoch) || b.ref_epoch < b.jd_first || b.ref_epoch > b.jd_last)
      return bad("reference epoch");
    const bool tilt_ok = moon ? std::fabs(b.p) < kMaxAngleRadians && std::fabs(b.q) < kMaxTiltTangent
                              : std::hypot(b.p, b.q) < kMaxTiltTangent;
    if (!Finite(b.p) || !Finite(b.q) || !tilt_ok) return bad("orientation of the frame");
    for (double rate : {b.p_rate, b.q_rate, b.peri_rate})
      if (!Finite(rate) || std::fabs(rate) > kMaxRatePerMillennium) return bad("rate of the frame");
    if (!Finite(b.peri) || std::fabs(b.peri) > kMaxAngleRadians) return bad("perihelion longitude");
  }
  return Status::Ok();
}

// The table-driven form of the checksum's CRC (most significant bit first), eight
// bytes a step: entry[k][i] is the remainder of byte i followed by k zero bytes, so
// the eight lookups of a step are independent of each other (the files' digests
// cover 2 MB at every start).
struct CrcTables {
  uint32_t entry[8][256];
  constexpr CrcTables() : entry() {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i << 24;
      for (int k = 0; k < 8; ++k) c = (c & 0x80000000u) ? (c << 1) ^ 0x04C11DB7u : c << 1;
      entry[0][i] = c;
    }
    for (int k = 1; k < 8; ++k)
      for (uint32_t i = 0; i < 256; ++i) {
        const uint32_t c = entry[k - 1][i];
        entry[k][i] = (c << 8) ^ entry[0][c >> 24];
      }
  }
};
constexpr CrcTables kCrc;

uint32_t BigEndian32(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

}  // namespace

uint32_t HeaderCrc32(const uint8_t* data, size_t size, uint32_t crc) {
  uint32_t c = ~crc;
  size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    const uint32_t hi = c ^ BigEndian32(data + i), lo = BigEndian32(data + i + 4);
    c = kCrc.entry[7][hi >> 24] ^ kCrc.entry[6][(hi >> 16) & 255] ^ kCrc.entry[5][(hi >> 8) & 255] ^
        kCrc.entry[4][hi & 255] ^ kCrc.entry[3][lo >> 24] ^ kCrc.entry[2][(lo >> 16) & 255] ^
        kCrc.entry[1][(lo >> 8) & 255] ^ kCrc.entry[0][lo & 255];
  }
  for (; i < size; ++i) c = (c << 8) ^ kCrc.entry[0][(c >> 24) ^ data[i]];
  return ~c;
}

Status DecodeHeader(const std::vector<uint8_t>& bytes, bool single_asteroid, FileHeader* header) {
  size_t pos = 0;
  const int lines = single_asteroid ? 4 : 3;
  for (int i = 0; i < lines; ++i) {
    const void* nl = pos < bytes.size() ? std::memchr(bytes.data() + pos, '\n', bytes.size() - pos)
                                        : nullptr;
    if (!nl) return Damaged("missing text line", pos);
    pos = static_cast<const uint8_t*>(nl) - bytes.data() + 1;
  }
  if (bytes.size() < pos + 4) return Damaged("short read", pos, 4, 1);
  // The writer's byte order shows in where the zero byte of the test value lies.
  const uint8_t* t = bytes.data() + pos;
  const uint32_t as_big = static_cast<uint32_t>(DecodeUnsigned(t, 4, false));
  const uint32_t as_little = DecodeFixed32(t);
  bool little;
  if (as_little == kByteOrderTestValue)
    little = true;
  else if (as_big == kByteOrderTestValue)
    little = false;
  else
    return Damaged("bad byte-order test value", pos);
  uint32_t machine;
  std::memcpy(&machine, t, 4);
  header->order_flags = (machine != kByteOrderTestValue ? kOrderReorder : 0) |
                        (t[0] != 0 ? kOrderLittleEndian : 0);
  const ByteImage image(bytes.data(), bytes.size(), little);
  Cursor c{image, pos + 4, {}};
  const uint64_t length = c.U(4);
  c.Skip(4);  // number of the source ephemeris
  header->jd_first = c.D();
  header->jd_last = c.D();
  const int n = static_cast<int>(c.U(2));
  if (!c.status.ok()) return c.status;
  if (length != bytes.size()) {
    char what[80];
    std::snprintf(what, sizeof what, "file length %llu in the header, %llu present",
                  static_cast<unsigned long long>(length), static_cast<unsigned long long>(bytes.size()));
    return Damaged(what, pos + 4);
  }
  if (n < 1 || n > kMaxBodiesPerFile) return Damaged("body count outside 1..14", c.pos - 2);
  if (!Finite(header->jd_first) || !Finite(header->jd_last) || header->jd_last < header->jd_first)
    return Damaged("bad file date range", pos);
  header->bodies.assign(n, BodyHeader{});
  for (auto& b : header->bodies) b.number = static_cast<int>(c.U(2));
  const size_t checksum_at = c.pos;
  header->checksum = static_cast<uint32_t>(c.U(4));
  if (!c.status.ok()) return c.status;
  if (HeaderCrc32(bytes.data(), checksum_at) != header->checksum)
    return Damaged("header checksum does not match", checksum_at);
  header->checksum_end = c.pos;
  for (int i = 0; i < 5; ++i) c.D();
  for (auto& b : header->bodies) {
    if (single_asteroid) c.Skip(kAsteroidNameBytes);
    const size_t at = c.pos;
    b.index_pos = static_cast<uint32_t>(c.U(4));
    b.flags = static_cast<int>(c.U(1));
    b.coeff_count = static_cast<int>(c.U(1));
    b.norm = static_cast<int32_t>(static_cast<uint32_t>(c.U(4))) / 1000.0;
    b.jd_first = c.D();
    b.jd_last = c.D();
    b.segment_days = c.D();
    b.ref_epoch = c.D();
    b.p = c.D();
    b.p_rate = c.D();
    b.q = c.D();
    b.q_rate = c.D();
    b.peri = c.D();
    b.peri_rate = c.D();
    if (!c.status.ok()) return c.status;
    const Status constants = CheckBodyConstants(b, *header, at);
    if (!constants.ok()) return constants;
    b.segment_count = std::lround((b.jd_last - b.jd_first) / b.segment_days);
    if (b.flags & kCoeffEllipse) {
      b.ellipse.resize(2 * static_cast<size_t>(b.coeff_count));
      for (auto& e : b.ellipse) {
        e = c.D();
        if (c.status.ok() && (!Finite(e) || std::fabs(e) > kMaxEllipseAu))
          return Damaged("implausible reference ellipse", c.pos - 8);
      }
      if (!c.status.ok()) return c.status;
    }
  }
  // The indexes follow the header back to back, in body order.
  size_t expected = c.pos;
  for (const auto& b : header->bodies) {
    if (b.index_pos != expected) {
      char what[96];
      std::snprintf(what, sizeof what, "segment index of body %d at %lu, expected at %lu", b.number,
                    static_cast<unsigned long>(b.index_pos), static_cast<unsigned long>(expected));
      return Damaged(what, expected);
    }
    expected += 3 * static_cast<size_t>(b.segment_count);
    if (expected > bytes.size()) return Damaged("segment index beyond the file", b.index_pos);
  }
  header->index_end = expected;
  return c.status;
}

namespace {

// Releases of the files whose bytes are known: the stored header checksum and length
// identify a release, the digest (the header's CRC over every byte after the
// checksum) guards the body constants and coefficients that the format leaves
// unguarded. From Debian's swe-basic-data 4.0-20221111.
struct KnownRelease {
  uint32_t header_checksum;
  uint32_t length;
  uint32_t digest;
};
constexpr KnownRelease kKnownReleases[] = {
    {0x767da770u, 484055u, 0x4510603eu},   // sepl_18.se1
    {0x8fff57efu, 1304771u, 0x8f91d009u},  // semo_18.se1
    {0x91527ea3u, 223002u, 0x569f7a8cu},   // seas_18.se1
};

}  // namespace

Status CheckKnownRelease(const std::vector<uint8_t>& bytes, const FileHeader& header) {
  for (const KnownRelease& r : kKnownReleases) {
    if (r.header_checksum != header.checksum || r.length != bytes.size()) continue;
    if (header.checksum_end > bytes.size()) break;
    const uint32_t digest =
        HeaderCrc32(bytes.data() + header.checksum_end, bytes.size() - header.checksum_end);
    if (digest != r.digest) return Damaged("contents differ from the release", header.checksum_end);
    break;
  }
  return Status::Ok();
}

Status DecodeBlock(const ByteImage& image, size_t* pos, int n, double norm, double* out,
                   CoefficientOverflow* overflow) {
  Cursor c{image, *pos, {}};
  int counts[6] = {0, 0, 0, 0, 0, 0};
  const int c0 = static_cast<int>(c.U(1));
  const int c1 = static_cast<int>(c.U(1));
  if (c0 & 128) {
    const int c2 = static_cast<int>(c.U(1));
    const int c3 = static_cast<int>(c.U(1));
    const int h[6] = {c1 >> 4, c1 & 15, c2 >> 4, c2 & 15, c3 >> 4, c3 & 15};
    std::memcpy(counts, h, sizeof h);
  } else {
    const int h[4] = {c0 >> 4, c0 & 15, c1 >> 4, c1 & 15};
    std::memcpy(counts, h, sizeof h);
  }
  if (!c.status.ok()) return c.status;
  int total = 0;
  for (int g : counts) total += g;
  if (total > n) {
    if (overflow) *overflow = {total, n};
    return Damaged("too many coefficients", *pos, 0, 0, StatusCode::kTooLarge);
  }
  const double scale = norm / 2 * 1e-9;
  auto put = [&](int i, uint64_t v) {
    const double half = (v & 1) ? -static_cast<double>((v + 1) / 2) : static_cast<double>(v / 2);
    out[i] = half * scale;
  };
  for (int i = 0; i < n; ++i) out[i] = 0.0;
  int idx = 0;
  for (int g = 0; g < 4; ++g) {
    const int bytes = 4 - g;  // group 0 holds 4-byte values ... group 3 1-byte values
    for (int k = 0; k < counts[g]; ++k) put(idx++, c.U(bytes));
  }
  for (int k = 0; k < counts[4]; k += 2) {
    const uint64_t b = c.U(1);
    put(idx++, b >> 4);
    if (k + 1 < counts[4]) put(idx++, b & 15);
  }
  for (int k = 0; k < counts[5]; k += 4) {
    const uint64_t b = c.U(1);
    for (int j = 0; j < 4 && k + j < counts[5]; ++j) put(idx++, (b >> (6 - 2 * j)) & 3);
  }
  if (!c.status.ok()) return c.status;
  *pos = c.pos;
  return c.status;
}

Status DecodeSegment(const ByteImage& image, const FileHeader& file, int order, long k,
                     double* coeffs, CoefficientOverflow* overflow) {
  const BodyHeader& body = file.bodies[static_cast<size_t>(order)];
  auto entry_at = [&](const BodyHeader& b, long segment, uint64_t* pos) {
    const size_t entry = b.index_pos + 3 * static_cast<size_t>(segment);
    if (!image.Unsigned(entry, 3, pos)) return Damaged("short read", entry, 3, 1);
    if (*pos < file.index_end || *pos >= image.size()) return Damaged("segment beyond its place", entry);
    return Status::Ok();
  };
  if (k < 0 || k >= body.segment_count) return Damaged("no such segment", body.index_pos);
  uint64_t seg_pos = 0, next_pos = image.size();
  Status s = entry_at(body, k, &seg_pos);
  if (!s.ok()) return s;
  if (k + 1 < body.segment_count) s = entry_at(body, k + 1, &next_pos);
  else if (static_cast<size_t>(order) + 1 < file.bodies.size()) s = entry_at(file.bodies[order + 1], 0, &next_pos);
  if (!s.ok()) return s;
  size_t pos = static_cast<size_t>(seg_pos);
  for (int axis = 0; axis < 3; ++axis) {
    s = DecodeBlock(image, &pos, body.coeff_count, body.norm, coeffs + axis * body.coeff_count,
                    overflow);
    if (!s.ok()) return s;
  }
  if (pos != next_pos) {
    char what[96];
    std::snprintf(what, sizeof what, "segment %ld of body %d ends at %lu, the next begins at %lu", k,
                  body.number, static_cast<unsigned long>(pos), static_cast<unsigned long>(next_pos));
    return Damaged(what, static_cast<size_t>(seg_pos));
  }
  return Status::Ok();
}

}  // namespace kv
