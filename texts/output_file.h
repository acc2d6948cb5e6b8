// The output text file that interpretations and details are printed into and that a
// text window then shows: a new temporary file in the working directory, opened
// with the title line "\n %s\n\n".
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kv {

// The title line as the file begins with it.
std::string OutputTitle(std::string_view title);

// Creates the first free "kvtNNNN.tmp" in `dir` (never an existing file) holding the
// title line and `body`. Nothing, after the message "tmp", when the file cannot be
// created or written completely (a partial file is removed).
std::optional<std::filesystem::path> WriteOutputTextFile(const std::filesystem::path& dir,
                                                          std::string_view title,
                                                          std::string_view body);

// Writes `bytes` to a new file that is not there yet ("wx"): nothing is overwritten.
// False, with no file left behind, when it cannot be created or written completely.
bool WriteNewFile(const std::filesystem::path& path, std::string_view bytes);

// The first "<prefix>NNNN.<ext>" (counter from 0001) in `dir` that does not exist.
std::filesystem::path FreeFileName(const std::filesystem::path& dir, std::string_view prefix,
                                   std::string_view ext);

}  // namespace kv
