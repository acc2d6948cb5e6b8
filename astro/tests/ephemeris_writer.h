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
  // Coefficient halves per segment and axis, written with 1-byte values (4-group header).
  std::vector<std::vector<std::vector<long>>> halves;
};

// A whole file with one or more bodies; each segment's blocks use group 3 (1 byte) only.
inline std::vector<uint8_t> WriteFile(bool little, double jd_first, double jd_last,
                                      std::vector<SyntheticBody> bodies) {
  Bytes w(little);
  w.Text("VERSION 1\r\nname.se1 \r\nnotice\r\n");
  w.U(0x616263, 4);
  w.U(0, 4);
  w.U(431, 4);
  w.D(jd_first);
  w.D(jd_last);
  w.U(bodies.size(), 2);
  for (auto& b : bodies) w.U(b.number, 2);
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
  for (size_t k = 0; k < bodies.size(); ++k) {
    auto& b = bodies[k];
    const size_t index = w.b.size();
    const size_t at = index_fields[k];
    Bytes pos(little);
    pos.U(index, 4);
    std::memcpy(&w.b[at], pos.b.data(), 4);
    for (int s = 0; s < b.segments; ++s) w.U(0, 3);
    for (int s = 0; s < b.segments; ++s) {
      w.Put3At(index + 3 * s, static_cast<uint32_t>(w.b.size()));
      for (int axis = 0; axis < 3; ++axis) {
        const auto& h = b.halves[s][axis];
        w.U(h.size() & 15, 1);  // c0: no 4-, no 3-byte values... counts in c1's low nibble
        w.b.back() = 0;
        w.U(h.size() & 15, 1);  // c1: high nibble 2-byte count 0, low nibble 1-byte count
        for (long v : h) w.U(Stored(v), 1);
      }
    }
  }
  return w.b;
}

}  // namespace kv::testing
