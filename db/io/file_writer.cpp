#include "db/io/file_writer.h"

#include <errno.h>
#include <unistd.h>

namespace kv::db {
namespace {

class SystemWriter final : public FileWriter {
 public:
  bool WriteAt(int fd, const std::string&, const void* data, size_t n, int64_t offset) override {
    const auto* p = static_cast<const char*>(data);
    while (n > 0) {
      ssize_t put = pwrite(fd, p, n, static_cast<off_t>(offset));
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) return false;
      p += put;
      n -= static_cast<size_t>(put);
      offset += put;
    }
    return true;
  }
  bool Sync(int fd, const std::string&) override {
    int rc;
    do rc = fdatasync(fd);
    while (rc != 0 && errno == EINTR);
    return rc == 0;
  }
};

}  // namespace

FileWriter& SystemFileWriter() {
  static SystemWriter writer;
  return writer;
}

}  // namespace kv::db
