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

#include "common/status.h"
#include "db/records/record_block.h"
#include "db/records/record_store.h"

namespace kv::db {

// Runs a script on a record; its read, write, delete and indread commands and the
// key operator "g" work on `base`. Ok (go on) or Cancelled (refused by "err").
Status RunScript(Database& base, const std::vector<std::string>& lines, FieldArray& record);

// Read, then the table's read script: ok when found and not refused; the failure of
// Read, or Cancelled.
Status ReadWithScript(Database& base, std::string_view key, FieldArray& record);
// The write script, then Write when it did not refuse: ok when written, Cancelled
// when the script refused, or the failure of Write.
Status WriteWithScript(Database& base, std::string_view key, FieldArray& record);
// The delete script on the given array, then Delete when it did not refuse: ok when
// a record was deleted, Cancelled, or the failure of Delete.
Status DeleteWithScript(Database& base, std::string_view key, FieldArray& record);

}  // namespace kv::db
