// Whole-file replacing for the orb blocks (they are read with ReadWholeFile of
// common/files.h). A block file is small enough to move as one string, which lets a
// writer replace a file only once the new contents are complete.
#pragma once

#include <string>

namespace kv::block_files {

// Writes the bytes to a fresh file beside `path` and renames it over `path`, so a
// failure at any point leaves the old file as it was. False on failure.
bool Replace(const std::string& path, const std::string& bytes);

// Removes a file if it is there; a missing file is not an error.
void RemoveIfPresent(const std::string& path);

}  // namespace kv::block_files
