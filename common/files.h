// Opening, checking, naming, deleting and listing files, with the program's messages.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// Warning "Не открывается файл '%s'" with the name.
void WarnCannotOpen(std::string_view name);

// Text mode for reading; warns when the file cannot be opened. The caller closes.
std::FILE* OpenForReading(std::string_view name);
// The same without a message.
std::FILE* OpenQuietly(std::string_view name);
// Opens with mode or ends the run: Fatal("Файл %s (%s) не открывается").
std::FILE* OpenOrFatal(std::string_view name, const char* mode);

// Seek to offset when it is 0 or more, then read or write n bytes; 0 on success, 1 otherwise.
int ReadBlock(std::FILE* f, void* buffer, size_t n, long offset);
int WriteBlock(std::FILE* f, const void* buffer, size_t n, long offset);

// 1 with "SkF" when the name has a blank, 1 with "F%is" when the file exists, else 0.
int CheckNewFileName(std::string_view name);
// The first "%s%04d.%s" (prefix, 1.., extension) that does not exist.
std::string UniqueFileName(std::string_view prefix, std::string_view extension);
// 0 on success; otherwise the "DF%" / "RE%I%" warning and -1.
int DeleteFileChecked(std::string_view name);
int RenameFileChecked(std::string_view old_name, std::string_view new_name);

bool FileExists(std::string_view name);

// Plain files (no directories) matching a mask such as "*.ao" or "dir/*.csr"
// ("*" and "?" wildcards in the last component), names converted to lower case by
// the code-page 866 rule, in directory order sorted by name.
std::vector<std::string> ListFiles(std::string_view mask);

}  // namespace kv
