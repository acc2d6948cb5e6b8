#include "astro/ephemeris/ephemeris_format.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace kv {

bool ByteImage::Unsigned(size_t pos, int bytes, uint64_t* out) const {
  if (bytes < 1 || bytes > 8 || !Has(pos, static_cast<size_t>(bytes))) return false;
  uint64_t v = 0;
  for (int i = 0; i < bytes; ++i) {
    const uint64_t b = data_[pos + (little_ ? bytes - 1 - i : i)];
    v = (v << 8) | b;
  }
  *out = v;
  return true;
}

bool ByteImage::Double(size_t pos, double* out) const {
  uint64_t v;
  if (!Unsigned(pos, 8, &v)) return false;
  std::memcpy(out, &v, sizeof v);
  return true;
}

namespace {

DecodeStatus Damaged(const char* what, size_t pos, int size = 0, int count = 0) {
  DecodeStatus s;
  s.ok = false;
  char buf[160];
  if (size > 0)
    std::snprintf(buf, sizeof buf, "off=%ld size=%d count=%d (%s)", static_cast<long>(pos),
                  size, count, what);
  else
    std::snprintf(buf, sizeof buf, "%s at %ld", what, static_cast<long>(pos));
  s.detail = buf;
  return s;
}

// A cursor that reads consecutive fields and remembers the first short read.
struct Cursor {
  const ByteImage& image;
  size_t pos;
  DecodeStatus status;

  uint64_t U(int bytes) {
    uint64_t v = 0;
    if (status.ok && !image.Unsigned(pos, bytes, &v)) status = Damaged("short read", pos, bytes, 1);
    pos += bytes;
    return status.ok ? v : 0;
  }
  double D() {
    double v = 0;
    if (status.ok && !image.Double(pos, &v)) status = Damaged("short read", pos, 8, 1);
    pos += 8;
    return status.ok ? v : 0;
  }
  void Skip(size_t n) {
    if (status.ok && !image.Has(pos, n)) status = Damaged("short read", pos, 1, static_cast<int>(n));
    pos += n;
  }
};

bool Finite(double v) { return std::isfinite(v); }

}  // namespace

DecodeStatus DecodeHeader(const std::vector<uint8_t>& bytes, bool single_asteroid,
                          FileHeader* header) {
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
  const uint32_t as_big = (uint32_t{t[0]} << 24) | (t[1] << 16) | (t[2] << 8) | t[3];
  const uint32_t as_little = (uint32_t{t[3]} << 24) | (t[2] << 16) | (t[1] << 8) | t[0];
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
  c.Skip(8);
  header->jd_first = c.D();
  header->jd_last = c.D();
  const int n = static_cast<int>(c.U(2));
  if (!c.status.ok) return c.status;
  if (n < 1 || n > kMaxBodiesPerFile) return Damaged("body count outside 1..14", c.pos - 2);
  if (!Finite(header->jd_first) || !Finite(header->jd_last) || header->jd_last < header->jd_first)
    return Damaged("bad file date range", pos);
  header->bodies.assign(n, BodyHeader{});
  for (auto& b : header->bodies) b.number = static_cast<int>(c.U(2));
  c.Skip(4);
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
    if (!c.status.ok) return c.status;
    if (b.coeff_count < 1) return Damaged("no coefficients", at);
    if (!(b.segment_days > 0) || !Finite(b.segment_days) || !Finite(b.jd_first) ||
        !Finite(b.jd_last))
      return Damaged("bad segment length or range", at);
    if (b.index_pos >= bytes.size()) return Damaged("segment index beyond the file", at);
    if (b.flags & kCoeffEllipse) {
      b.ellipse.resize(2 * static_cast<size_t>(b.coeff_count));
      for (auto& e : b.ellipse) e = c.D();
      if (!c.status.ok) return c.status;
    }
  }
  return c.status;
}

DecodeStatus DecodeBlock(const ByteImage& image, size_t* pos, int n, double norm, double* out) {
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
  if (!c.status.ok) return c.status;
  int total = 0;
  for (int g : counts) total += g;
  if (total > n) {
    DecodeStatus s = Damaged("too many coefficients", *pos);
    s.too_many_coefficients = true;
    s.found_count = total;
    s.allowed_count = n;
    return s;
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
  if (!c.status.ok) return c.status;
  *pos = c.pos;
  return c.status;
}

DecodeStatus DecodeSegment(const ByteImage& image, const BodyHeader& body, long k,
                           double* coeffs) {
  const size_t entry = body.index_pos + 3 * static_cast<size_t>(k);
  uint64_t seg_pos;
  if (k < 0 || !image.Unsigned(entry, 3, &seg_pos)) return Damaged("short read", entry, 3, 1);
  if (seg_pos >= image.size()) return Damaged("segment beyond the file", entry);
  size_t pos = static_cast<size_t>(seg_pos);
  for (int axis = 0; axis < 3; ++axis) {
    DecodeStatus s = DecodeBlock(image, &pos, body.coeff_count, body.norm,
                                 coeffs + axis * body.coeff_count);
    if (!s.ok) return s;
  }
  return {};
}

}  // namespace kv
