// Whole-file reading and replacing for the orb blocks. A private helper: the program's
// common file helpers open files by stdio streams, and a block file is small enough
// to move as one string, which lets a writer replace a file only once the new
// contents are complete.
#pragma once

#include <optional>
#include <string>

namespace kv::block_files {

// The bytes of a file, or nothing when it cannot be opened or read.
std::optional<std::string> ReadAll(const std::string& path);

// Writes the bytes to a fresh file beside `path` and renames it over `path`, so a
// failure at any point leaves the old file as it was. False on failure.
bool Replace(const std::string& path, const std::string& bytes);

// Removes a file if it is there; a missing file is not an error.
void RemoveIfPresent(const std::string& path);

}  // namespace kv::block_files
