// The layout of an ephemeris data file: packed Chebyshev coefficients in segments.
//
// Layout, in file order: text lines (3, or 4 in a single-asteroid file); a 4-byte test
// value 0x616263 in the writer's byte order; the file length (4) and the number of the
// source ephemeris (4); first and last Julian day (2 doubles); body count (16-bit) and
// body numbers (16-bit each); a 4-byte checksum; 5 general constants (doubles); per
// body [30-byte name in a single-asteroid file], index position (4), flags (1),
// coefficient count (1), normalisation in thousandths (4), 10 doubles, and with flag 4
// the reference ellipse (2 x count doubles). Then the segment indexes of all bodies,
// back to back in body order, one 3-byte file position per segment; then the segments,
// body after body, each ending where the next begins, the last at the end of the file.
//
// The checksum is CRC-32 with the polynomial 0x04C11DB7 fed most significant bit first,
// register preset to all ones and inverted at the end, over every byte of the file
// before it: so the length field guards against truncation and the checksum guards the
// text lines, date range and body list. Nothing in the format guards the body
// constants or the coefficients; those get plausibility checks here and, for the
// releases listed in known_releases, a digest of the whole rest of the file.
//
// This module only decodes bytes already in memory; every offset and count is checked
// against the bytes present, and a failure is a Status (Corruption, or TooLarge for a
// block with more coefficients than its body has) whose message says what and where,
// for the journal.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/status.h"

namespace kv {

inline constexpr uint32_t kByteOrderTestValue = 0x616263;
inline constexpr int kMaxBodiesPerFile = 14;     // room in a file slot's body list
inline constexpr int kMaxCoefficients = 255;     // the count is one byte
inline constexpr int kAsteroidNameBytes = 30;

// Coefficient flags of a body.
inline constexpr int kCoeffHeliocentric = 1;
inline constexpr int kCoeffRotated = 2;
inline constexpr int kCoeffEllipse = 4;
inline constexpr int kCoeffEmbHeliocentric = 8;

// Byte-order flags of a file slot.
inline constexpr int kOrderReorder = 2;
inline constexpr int kOrderLittleEndian = 1;

// CRC-32 as the header checksum uses it (see above), continued from `crc` (start with 0).
uint32_t HeaderCrc32(const uint8_t* data, size_t size, uint32_t crc = 0);

// The largest coefficient count a packed block can give: six groups of at most 15.
inline constexpr int kMaxBlockCoefficients = 90;

// The counts of a block with more coefficients than its body has (a TooLarge status),
// for the message the user sees.
struct CoefficientOverflow {
  int found = 0;
  int allowed = 0;
};

// Reads numbers of 1..8 bytes from a byte image in the file's byte order.
class ByteImage {
 public:
  ByteImage(const uint8_t* data, size_t size, bool little_endian)
      : data_(data), size_(size), little_(little_endian) {}
  size_t size() const { return size_; }
  bool Has(size_t pos, size_t n) const { return pos <= size_ && n <= size_ - pos; }
  // Unsigned value of `bytes` bytes at pos (zero-extended); false past the end.
  bool Unsigned(size_t pos, int bytes, uint64_t* out) const;
  bool Double(size_t pos, double* out) const;
  const uint8_t* data() const { return data_; }

 private:
  const uint8_t* data_;
  size_t size_;
  bool little_;
};

struct BodyHeader {
  int number = 0;
  int flags = 0;
  int coeff_count = 0;
  uint32_t index_pos = 0;
  long segment_count = 0;  // (last day - first day) / segment length, a whole number
  double norm = 0;  // normalisation factor (file value / 1000)
  double jd_first = 0, jd_last = 0, segment_days = 0;
  double ref_epoch = 0, p = 0, p_rate = 0, q = 0, q_rate = 0, peri = 0, peri_rate = 0;
  std::vector<double> ellipse;  // 2 x coeff_count with flag 4: x block then y block
};

struct FileHeader {
  int order_flags = 0;
  double jd_first = 0, jd_last = 0;
  uint32_t checksum = 0;       // as stored (and verified)
  size_t checksum_end = 0;     // file position just after the checksum
  size_t index_end = 0;        // first byte after the last segment index
  std::vector<BodyHeader> bodies;
};

// Decodes and checks the header: the length field against the bytes present, the
// checksum, each body's constants against what the format and the sky allow, and the
// segment indexes lying back to back after the header.
//   single_asteroid  the 4-line, named-body variant
Status DecodeHeader(const std::vector<uint8_t>& bytes, bool single_asteroid, FileHeader* header);

// For a file whose header checksum and length belong to a release listed in
// known_releases: the digest of everything after the checksum must match. Other
// files pass (their damage is left to the plausibility checks).
Status CheckKnownRelease(const std::vector<uint8_t>& bytes, const FileHeader& header);

// Unpacks the x, y, z coefficient blocks of segment k of the body at position `order`
// in the file's body list into coeffs[0..3n) (x block, y block, z block; missing
// coefficients 0). The segment must end exactly where the next one begins (the next
// of the same body, else the first of the next body, else the end of the file).
// `overflow`, when given, receives the counts of a TooLarge block.
Status DecodeSegment(const ByteImage& image, const FileHeader& file, int order, long k,
                     double* coeffs, CoefficientOverflow* overflow = nullptr);

// Unpacks one block at *pos (advanced past it) into out[0..n).
Status DecodeBlock(const ByteImage& image, size_t* pos, int n, double norm, double* out,
                   CoefficientOverflow* overflow = nullptr);

}  // namespace kv
