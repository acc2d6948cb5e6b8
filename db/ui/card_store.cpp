#include "db/ui/card_store.h"

#include <algorithm>

#include "common/codepage.h"
#include "common/files.h"
#include "common/messages.h"
#include "common/tokens.h"
#include "db/records/record_store.h"
#include "db/schema/schema.h"
#include "db/schema/script.h"
#include "db/ui/card_fields.h"

namespace kv::cards {
namespace {

int g_open_databases = 0;

// The database open for one action; closed when the action ends, whatever happens.
class OpenDatabase {
 public:
  OpenDatabase(std::string_view database, bool writable) {
    ok_ = base_.Open(DiskName(database), writable ? db::kPersonWrite : db::kPersonRead).ok();
    if (ok_) ++g_open_databases;
  }
  ~OpenDatabase() {
    if (!ok_) return;
    base_.Close();
    --g_open_databases;
  }
  OpenDatabase(const OpenDatabase&) = delete;
  OpenDatabase& operator=(const OpenDatabase&) = delete;

  bool ok() const { return ok_; }
  db::Database& base() { return base_; }
  // Damage met since the open: its message has been shown.
  bool damaged() const { return !base_.damage().ok(); }

 private:
  db::Database base_;
  bool ok_ = false;
};

// A write, a delete or a read that did not succeed, by what has been said about it.
Outcome OfFailure(const Status& status, const OpenDatabase& open) {
  if (status.ok()) return Outcome::kDone;
  if (open.damaged()) return Outcome::kDamaged;
  switch (status.code()) {
    case StatusCode::kCancelled: return Outcome::kRefused;
    case StatusCode::kTooLarge: return Outcome::kTooLarge;
    case StatusCode::kNotFound: return Outcome::kNotFound;
    default: return Outcome::kFailed;
  }
}

}  // namespace

std::string DiskName(std::string_view database) { return Cp1251ToUtf8(database); }

CatalogueRow RowOfCard(std::string key, const db::FieldArray& card) {
  return {std::move(key), card[kFieldName], CatalogueLine(card), FoldForSearch(card[kFieldName]),
          true};
}

Catalogue LoadCatalogue(std::string_view database) {
  Catalogue c;
  OpenDatabase open(database, false);
  if (!open.ok()) return c;
  c.opened = true;
  // Listed with field 2 beside each key (sorted by it), then put back in key order.
  std::vector<std::string> items = open.base().ListKeys(kCardPrefix, kFieldName);
  c.rows.reserve(items.size());
  for (std::string& item : items) {
    const size_t mark = item.find('\x01');
    CatalogueRow row;
    row.key = item.substr(0, mark);
    if (mark != std::string::npos) row.name = item.substr(mark + 1);
    row.line = row.name;
    row.folded = FoldForSearch(row.name);
    c.rows.push_back(std::move(row));
  }
  // The key index orders keys bytewise, shorter first on a tie: as string_view does.
  std::sort(c.rows.begin(), c.rows.end(),
            [](const CatalogueRow& a, const CatalogueRow& b) { return a.key < b.key; });
  c.damaged = open.damaged();
  return c;
}

Outcome CompleteRows(std::string_view database, const std::vector<CatalogueRow*>& rows) {
  OpenDatabase open(database, false);
  if (!open.ok()) return Outcome::kCannotOpen;
  db::FieldArray card;
  for (CatalogueRow* row : rows) {
    if (db::ReadWithScript(open.base(), row->key, card).ok()) *row = RowOfCard(row->key, card);
    row->complete = true;
    if (open.damaged()) return Outcome::kDamaged;
  }
  return Outcome::kDone;
}

bool CanOpen(std::string_view database) { return OpenDatabase(database, false).ok(); }

int OpenDatabases() { return g_open_databases; }

Outcome ReadCard(std::string_view database, std::string_view key, db::FieldArray& card) {
  OpenDatabase open(database, false);
  if (!open.ok()) return Outcome::kCannotOpen;
  return OfFailure(db::ReadWithScript(open.base(), key, card), open);
}

Outcome RewriteCard(std::string_view database, std::string_view key, db::FieldArray& card) {
  OpenDatabase open(database, true);
  if (!open.ok()) return Outcome::kCannotOpen;
  return OfFailure(db::WriteWithScript(open.base(), key, card), open);
}

Outcome AddCard(std::string_view database, db::FieldArray& card, std::string* key) {
  OpenDatabase open(database, true);
  if (!open.ok()) return Outcome::kCannotOpen;
  // A new card has no field 1 yet, so its write script sees no key; running it before
  // the counter moves keeps a refused card from changing the files at all.
  card[kFieldKey].clear();
  const db::Table* table = db::TableOfKey(kCardPrefix);
  if (table) {
    if (Status script = db::RunScript(open.base(), table->write_script, card); !script.ok())
      return OfFailure(script, open);
  }
  std::string made;
  if (!open.base().NextFreeKey(&made, kCardPrefix).ok())
    return open.damaged() ? Outcome::kDamaged : Outcome::kNoKey;
  const Outcome written = OfFailure(open.base().Write(made, card), open);
  if (written == Outcome::kDone && key) *key = made;
  return written;
}

Outcome DeleteCard(std::string_view database, std::string_view key) {
  OpenDatabase open(database, true);
  if (!open.ok()) return Outcome::kCannotOpen;
  // The delete script gets the card as stored (its journal line keeps what was lost).
  db::FieldArray card;
  if (Status read = open.base().Read(key, card); !read.ok()) return OfFailure(read, open);
  return OfFailure(db::DeleteWithScript(open.base(), key, card), open);
}

Status CreateDatabase(std::string_view database) {
  const std::string name(database);
  if (TrimmedLength(name) == 0) {
    WarningKey("ErrNB");
    return Status::InvalidArgument("a blank database name");
  }
  if (name.find_first_of(" \t") != std::string::npos) {
    WarningKey("SkF");
    return Status::InvalidArgument("a blank in the database name");
  }
  // Either file there already: both belong to a database that must not be overwritten.
  for (const char* extension : {".bod", ".btr"}) {
    if (FileExists(DiskName(name + extension))) {
      WarningFormat("F%is", name + extension);
      return Status::AlreadyExists(name + extension);
    }
  }
  return db::Create(DiskName(name));
}

}  // namespace kv::cards
