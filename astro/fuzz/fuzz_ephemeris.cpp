// The ephemeris file decoder on arbitrary bytes: the header, the known-release digest
// and segments of every body (the first, one in the middle and the last, with their
// neighbours). The first input byte chooses the variant: bit 0 the single-asteroid
// header, bit 1 a file length and header checksum put right before decoding, so that
// the fuzzer gets past them to the body constants and segments. Every coefficient
// decoded must be a finite number.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "astro/ephemeris/ephemeris_format.h"
#include "common/fuzz/fuzz_support.h"

namespace {

// Writes the length field and the checksum the header of `b` would need, when its
// text lines and byte-order value can be found.
void MendLengthAndChecksum(std::vector<uint8_t>& b, bool single_asteroid) {
  size_t pos = 0;
  for (int i = 0; i < (single_asteroid ? 4 : 3); ++i) {
    const void* nl = pos < b.size() ? std::memchr(b.data() + pos, '\n', b.size() - pos) : nullptr;
    if (!nl) return;
    pos = static_cast<const uint8_t*>(nl) - b.data() + 1;
  }
  const size_t count_at = pos + 4 + 4 + 4 + 16;
  if (b.size() < count_at + 2) return;
  const bool little = b[pos] != 0;
  auto put = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * (little ? i : 3 - i)));
  };
  put(pos + 4, static_cast<uint32_t>(b.size()));
  const unsigned n = little ? b[count_at] | b[count_at + 1] << 8 : b[count_at] << 8 | b[count_at + 1];
  const size_t checksum_at = count_at + 2 + 2 * static_cast<size_t>(n);
  if (checksum_at + 4 > b.size()) return;
  put(checksum_at, kv::HeaderCrc32(b.data(), checksum_at));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const bool single_asteroid = data[0] & 1;
  std::vector<uint8_t> bytes(data + 1, data + size);
  if (data[0] & 2) MendLengthAndChecksum(bytes, single_asteroid);

  kv::FileHeader header;
  if (!kv::DecodeHeader(bytes, single_asteroid, &header).ok()) return 0;
  (void)kv::CheckKnownRelease(bytes, header);
  for (const bool little : {true, false}) {
    const kv::ByteImage image(bytes.data(), bytes.size(), little);
    for (size_t order = 0; order < header.bodies.size(); ++order) {
      const kv::BodyHeader& body = header.bodies[order];
      std::vector<double> coeffs(3 * static_cast<size_t>(body.coeff_count));
      const long last = body.segment_count - 1;
      for (long k : {-1L, 0L, 1L, last / 2, last - 1, last, last + 1}) {
        kv::CoefficientOverflow overflow;
        if (!kv::DecodeSegment(image, header, static_cast<int>(order), k, coeffs.data(), &overflow).ok())
          continue;
        for (double c : coeffs)
          if (!std::isfinite(c)) kv::fuzz::Fail("coefficient not finite");
      }
    }
  }
  return 0;
}
