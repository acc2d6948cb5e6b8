// Opening, checking, naming, deleting and listing files, with the program's messages.
#pragma once

#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "common/status.h"

namespace kv {

// Warning "Не открывается файл '%s'" with the name.
void WarnCannotOpen(std::string_view name);

// Text mode for reading; warns when the file cannot be opened. The caller closes.
std::FILE* OpenForReading(std::string_view name);
// The same without a message.
std::FILE* OpenQuietly(std::string_view name);

// The whole file, read in binary. NotFound when it cannot be opened, IoError when a
// read fails, TooLarge when it holds more than max_bytes; no message either way.
inline constexpr size_t kAnyFileSize = std::numeric_limits<size_t>::max();
Status ReadWholeFile(const std::string& path, std::string* bytes, size_t max_bytes = kAnyFileSize);
Status ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes,
                     size_t max_bytes = kAnyFileSize);

// Seek to offset when it is 0 or more, then read or write exactly n bytes; IoError
// otherwise.
Status ReadBlock(std::FILE* f, void* buffer, size_t n, long offset);
Status WriteBlock(std::FILE* f, const void* buffer, size_t n, long offset);

// Writes all n bytes to an open descriptor at its current position, again after an
// interrupted or partial write: true, or false when the system refused.
bool WriteAll(int fd, const void* data, size_t n);

// InvalidArgument after "SkF" when the name has a blank, AlreadyExists after "F%is"
// when the file exists, else ok.
Status CheckNewFileName(std::string_view name);
// The first "%s%04d.%s" (prefix, 1.., extension) that does not exist.
std::string UniqueFileName(std::string_view prefix, std::string_view extension);
// Ok; otherwise the "DF%" / "RE%I%" warning and IoError.
Status DeleteFileChecked(std::string_view name);
Status RenameFileChecked(std::string_view old_name, std::string_view new_name);

bool FileExists(std::string_view name);

// Plain files (no directories) matching a mask such as "*.ao" or "dir/*.csr"
// ("*" and "?" wildcards in the last component), names converted to lower case by
// the code-page 866 rule, in directory order sorted by name.
std::vector<std::string> ListFiles(std::string_view mask);

}  // namespace kv
