// The one way bytes reach the files of a database: every write of a page, a block or a
// header and every flush to the disk goes through a FileWriter. The system one calls
// pwrite and fdatasync; a test may put one in between that records each write, so that
// it can rebuild the files as a power cut after any of them would leave them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kv::db {

class FileWriter {
 public:
  virtual ~FileWriter() = default;
  // Writes all n bytes at offset into the open file fd (named file): true, or false
  // when the system wrote fewer or refused.
  virtual bool WriteAt(int fd, const std::string& file, const void* data, size_t n,
                       int64_t offset) = 0;
  // Returns once what was written to the file is on the disk (fdatasync): true, or
  // false when the system could not flush it.
  virtual bool Sync(int fd, const std::string& file) = 0;
};

// pwrite and fdatasync; shared, without state.
FileWriter& SystemFileWriter();

}  // namespace kv::db
