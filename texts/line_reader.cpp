#include "texts/line_reader.h"

#include <cstring>

namespace kv {

bool LineReader::Fill() {
  if (eof_) return false;
  have_ = std::fread(buf_, 1, sizeof buf_, f_);
  at_ = 0;
  if (have_ == 0) {
    eof_ = true;
    failed_ = std::ferror(f_) != 0;
    return false;
  }
  return true;
}

bool LineReader::Next(std::string& line) {
  line.clear();
  line_start_ = pos_;
  bool any = false;
  for (;;) {
    if (at_ == have_ && !Fill()) break;
    any = true;
    const char* begin = buf_ + at_;
    const void* nl = std::memchr(begin, '\n', have_ - at_);
    size_t n = nl ? static_cast<size_t>(static_cast<const char*>(nl) - begin) : have_ - at_;
    line.append(begin, n);
    at_ += n;
    pos_ += n;
    if (nl) {
      ++at_;
      ++pos_;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return true;
    }
  }
  if (!any) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

}  // namespace kv
