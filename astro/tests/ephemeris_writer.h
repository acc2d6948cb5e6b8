// Test-only writer of small ephemeris files, built byte by byte from the file layout.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace kv::testing {

class Bytes {
 public:
  explicit Bytes(bool little) : little_(little) {}
  void Text(const std::string& s) { for (char c : s) b.push_back(static_cast<uint8_t>(c)); }
  void U(uint64_t v, int n) {
    for (int i = 0; i < n; ++i) {
      const int shift = 8 * (little_ ? i : n - 1 - i);
      b.push_back(static_cast<uint8_t>(v >> shift));
    }
  }
  void D(double d) {
    uint64_t v;
    std::memcpy(&v, &d, 8);
    U(v, 8);
  }
  void Put3At(size_t pos, uint32_t v) {
    for (int i = 0; i < 3; ++i) b[pos + i] = static_cast<uint8_t>(v >> (8 * (little_ ? i : 2 - i)));
  }
  std::vector<uint8_t> b;

 private:
  bool little_;
};

// Stored value for a coefficient of k halves: even 2k for k >= 0, odd 2|k| - 1 for k < 0.
inline uint64_t Stored(long k) { return k >= 0 ? 2 * k : 2 * (-k) - 1; }

// The header checksum's CRC-32, bit by bit: polynomial 0x04C11DB7 fed most significant
// bit first, preset to all ones, inverted at the end.
inline uint32_t BitwiseCrc32(const uint8_t* data, size_t n) {
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) {
    c ^= static_cast<uint32_t>(data[i]) << 24;
    for (int k = 0; k < 8; ++k) c = (c & 0x80000000u) ? (c << 1) ^ 0x04C11DB7u : c << 1;
  }
  return ~c;
}

struct SyntheticBody {
  int number = 2;
  int flags = 0;
  int coeff_count = 4;
  double jd_first = 2451545.0;
  double segment_days = 32.0;
  int segments = 2;
  double norm = 1.0;  // stored times 1000
  double ref_epoch = 2451545.0, p = 0, p_rate = 0, q = 0, q_rate = 0, peri = 0, peri_rate = 0;
  std::vector<double> ellipse;
  // Coefficient halves per segment and axis.
  std::vector<std::vector<std::vector<long>>> halves;
  // Bytes per stored value: 1 (group 3) or 4 (group 0).
  int value_bytes = 1;
};

// A whole file laid out as the real ones: header, all segment indexes back to back,
// then the segments body after body; the length field and the header checksum filled.
inline std::vector<uint8_t> WriteFile(bool little, double jd_first, double jd_last,
                                      std::vector<SyntheticBody> bodies) {
  Bytes w(little);
  w.Text("VERSION 1\r\nname.se1 \r\nnotice\r\n");
  w.U(0x616263, 4);
  const size_t length_at = w.b.size();
  w.U(0, 4);
  w.U(431, 4);
  w.D(jd_first);
  w.D(jd_last);
  w.U(bodies.size(), 2);
  for (auto& b : bodies) w.U(b.number, 2);
  const size_t checksum_at = w.b.size();
  w.U(0, 4);
  for (int i = 0; i < 5; ++i) w.D(1.0);
  std::vector<size_t> index_fields;
  for (auto& b : bodies) {
    index_fields.push_back(w.b.size());
    w.U(0, 4);
    w.U(b.flags, 1);
    w.U(b.coeff_count, 1);
    w.U(static_cast<uint64_t>(b.norm * 1000), 4);
    for (double d : {b.jd_first, b.jd_first + b.segments * b.segment_days, b.segment_days,
                     b.ref_epoch, b.p, b.p_rate, b.q, b.q_rate, b.peri, b.peri_rate})
      w.D(d);
    for (double e : b.ellipse) w.D(e);
  }
  std::vector<size_t> indexes;
  for (size_t k = 0; k < bodies.size(); ++k) {
    indexes.push_back(w.b.size());
    Bytes pos(little);
    pos.U(w.b.size(), 4);
    std::memcpy(&w.b[index_fields[k]], pos.b.data(), 4);
    for (int s = 0; s < bodies[k].segments; ++s) w.U(0, 3);
  }
  for (size_t k = 0; k < bodies.size(); ++k) {
    auto& b = bodies[k];
    for (int s = 0; s < b.segments; ++s) {
      w.Put3At(indexes[k] + 3 * s, static_cast<uint32_t>(w.b.size()));
      for (int axis = 0; axis < 3; ++axis) {
        const auto& h = b.halves[s][axis];
        const uint64_t count = h.size() & 15;
        // Four groups: c0 holds the 4- and 3-byte counts, c1 the 2- and 1-byte counts.
        w.U(b.value_bytes == 4 ? count << 4 : 0, 1);
        w.U(b.value_bytes == 4 ? 0 : count, 1);
        for (long v : h) w.U(Stored(v), b.value_bytes == 4 ? 4 : 1);
      }
    }
  }
  Bytes length(little);
  length.U(w.b.size(), 4);
  std::memcpy(&w.b[length_at], length.b.data(), 4);
  Bytes crc(little);
  crc.U(BitwiseCrc32(w.b.data(), checksum_at), 4);
  std::memcpy(&w.b[checksum_at], crc.b.data(), 4);
  return w.b;
}

}  // namespace kv::testing
