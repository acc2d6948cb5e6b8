// Buffered line reading with byte positions, for files whose lines may be of any
// length (a line of megabytes is read whole) and whose readers need to know where a
// line starts and ends in the file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace kv {

class LineReader {
 public:
  // Reads from the current position of `f`, which must be at `start`.
  explicit LineReader(std::FILE* f, uint64_t start = 0) : f_(f), pos_(start) {}

  // The next line without its line feed and without a carriage return before it.
  // False at the end of the file (a final line feed gives no extra empty line) or on
  // a read error (see Failed()).
  bool Next(std::string& line);

  // Position of the first byte of the line last returned, and of the byte after its
  // line feed (the start of the next line).
  uint64_t LineStart() const { return line_start_; }
  uint64_t NextStart() const { return pos_; }
  bool Failed() const { return failed_; }

 private:
  bool Fill();

  std::FILE* f_;
  uint64_t pos_;
  uint64_t line_start_ = 0;
  char buf_[65536];
  size_t have_ = 0, at_ = 0;
  bool eof_ = false, failed_ = false;
};

}  // namespace kv
