// Trigger scripts of the schema tables and the three wrappers the dialogs use.
//
// A script line is "if" with a condition (a false one skips the next line), a command
// (err, ret, wrjur, read, write, delete, indread) or an assignment "target op operands".
// Variables k0..k255 are slots of the record array, w0..w255 of a work array that is
// fresh for each run. Script text is code page 866; record texts are 1251.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "db/records/record_block.h"

namespace kv::db {

// 1 (go on) or 0 (refused by "err").
int RunScript(const std::vector<std::string>& lines, FieldArray& record);

// Read, then the table's read script: 1 when found and not refused, else 0.
int ReadWithScript(std::string_view key, FieldArray& record);
// The write script, then Write when it did not refuse. 1 when written, 0 when the
// script refused, or the negative result of Write.
int WriteWithScript(std::string_view key, FieldArray& record);
// The delete script on the given array, then Delete when it did not refuse. 1 when
// a record was deleted, else 0.
int DeleteWithScript(std::string_view key, FieldArray& record);

}  // namespace kv::db
