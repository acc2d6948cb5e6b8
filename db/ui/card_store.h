// What the database dialogs ask of the record store, in one place: each call opens its
// own handle on the person database, does its reads or writes through the schema's
// scripts and closes it again, so no database stays open between two user actions
// (or while a dialog runs: the town chooser opens the towns database then, and the
// program keeps one database open at a time). Only this file opens person databases.
//
// Database names are code page 1251 (as kept in "BASA"); on disk they are UTF-8, the
// file system's names, so a database the program makes is the one the file dialog
// shows and `kvimarot-db` opens by the same name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/status.h"
#include "db/records/record_block.h"
#include "db/records/record_store.h"

namespace kv::cards {

inline constexpr const char* kCardPrefix = ".";
using db::kMaxDatabaseName;

// What became of a dialog's action, made from the record store's Status: the dialogs
// show a message for the kinds nobody has explained yet (ReportCardOutcome).
enum class Outcome {
  kDone,
  kCannotOpen,  // a file of the database is missing or unreadable; nothing shown yet
  kNotFound,    // no such card
  kRefused,     // a script refused ("err"): its own message has been shown
  kDamaged,     // the store met damage and has shown "BdDmg"; the files are unchanged
  kTooLarge,    // the card does not fit a block
  kNoKey,       // no new key could be made ("errserv" shown)
  kFailed,      // anything else (nothing was shown)
};

// The file-system name of a database (UTF-8) for a 1251 name.
std::string DiskName(std::string_view database);

// One line of the catalogue and what the name search compares. A row starts with
// its key and stored name only; its line is read (with the read script) when it is
// first shown.
struct CatalogueRow {
  std::string key;
  std::string name;    // field 2
  std::string line;    // "%s  %s %s %s": fields 2, 3, 4, 7
  std::string folded;  // FoldForSearch of field 2
  bool complete = false;  // line read with the script
};
CatalogueRow RowOfCard(std::string key, const db::FieldArray& card);

struct Catalogue {
  bool opened = false;
  bool damaged = false;  // damage met while listing: "BdDmg" shown, rows may be incomplete
  std::vector<CatalogueRow> rows;
};

// Every card in key order with its name as stored: one walk of the key index and one
// read of each block, so 100,000 cards list in a fraction of a second.
Catalogue LoadCatalogue(std::string_view database);
// Reads the given rows' cards with the read script and fills their lines (a card
// that cannot be read keeps its name as its line). kDone, kCannotOpen or kDamaged.
Outcome CompleteRows(std::string_view database, const std::vector<CatalogueRow*>& rows);

// True when the database opens for reading.
bool CanOpen(std::string_view database);
// How many person databases these calls hold open right now: 0 between two calls.
int OpenDatabases();

// The card read with its script; absent fields stay empty.
Outcome ReadCard(std::string_view database, std::string_view key, db::FieldArray& card);
// Writes the card under its key through the write script (which may change `card`).
Outcome RewriteCard(std::string_view database, std::string_view key, db::FieldArray& card);
// A new card: the write script first, then a new key from the key counter, then the
// write. A refused card leaves the files byte for byte, counter included.
Outcome AddCard(std::string_view database, db::FieldArray& card, std::string* key);
// Reads the card as stored and deletes it through the delete script.
Outcome DeleteCard(std::string_view database, std::string_view key);

// An empty database: ok, or after its message InvalidArgument ("ErrNB", "SkF") or
// AlreadyExists ("F%is": either file is there); IoError when the files cannot be made.
Status CreateDatabase(std::string_view database);

}  // namespace kv::cards
