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

// The database open for one action; closed when the action ends, whatever happens.
class OpenDatabase {
 public:
  OpenDatabase(std::string_view database, bool writable)
      : ok_(db::Open(DiskName(database), writable ? db::kPersonWrite : db::kPersonRead) == 0) {}
  ~OpenDatabase() {
    if (ok_) db::Close();
  }
  OpenDatabase(const OpenDatabase&) = delete;
  OpenDatabase& operator=(const OpenDatabase&) = delete;

  bool ok() const { return ok_; }
  bool damaged() const { return !db::DamageSeen().empty(); }

 private:
  bool ok_;
};

Outcome OfWrite(int result, const OpenDatabase& open) {
  if (result == db::kWriteDone) return Outcome::kDone;
  if (open.damaged()) return Outcome::kDamaged;
  if (result == db::kWriteTooLarge) return Outcome::kTooLarge;
  return Outcome::kFailed;
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
  std::vector<std::string> items = db::ListKeys(kCardPrefix, kFieldName);
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
    if (db::ReadWithScript(row->key, card)) *row = RowOfCard(row->key, card);
    row->complete = true;
    if (open.damaged()) return Outcome::kDamaged;
  }
  return Outcome::kDone;
}

bool CanOpen(std::string_view database) { return OpenDatabase(database, false).ok(); }

Outcome ReadCard(std::string_view database, std::string_view key, db::FieldArray& card) {
  OpenDatabase open(database, false);
  if (!open.ok()) return Outcome::kCannotOpen;
  if (db::ReadWithScript(key, card)) return Outcome::kDone;
  return open.damaged() ? Outcome::kDamaged : Outcome::kNotFound;
}

Outcome RewriteCard(std::string_view database, std::string_view key, db::FieldArray& card) {
  OpenDatabase open(database, true);
  if (!open.ok()) return Outcome::kCannotOpen;
  const int result = db::WriteWithScript(key, card);
  if (result == 0) return Outcome::kRefused;
  return OfWrite(result == 1 ? db::kWriteDone : result, open);
}

Outcome AddCard(std::string_view database, db::FieldArray& card, std::string* key) {
  OpenDatabase open(database, true);
  if (!open.ok()) return Outcome::kCannotOpen;
  // A new card has no field 1 yet, so its write script sees no key; running it before
  // the counter moves keeps a refused card from changing the files at all.
  card[kFieldKey].clear();
  const db::Table* table = db::TableOfKey(kCardPrefix);
  if (table && !db::RunScript(table->write_script, card)) return Outcome::kRefused;
  std::string made;
  if (db::NextFreeKey(&made, kCardPrefix) != 1)
    return open.damaged() ? Outcome::kDamaged : Outcome::kNoKey;
  const Outcome written = OfWrite(db::Write(made, card), open);
  if (written == Outcome::kDone && key) *key = made;
  return written;
}

Outcome DeleteCard(std::string_view database, std::string_view key) {
  OpenDatabase open(database, true);
  if (!open.ok()) return Outcome::kCannotOpen;
  // The delete script gets the card as stored (its journal line keeps what was lost).
  db::FieldArray card;
  if (!db::Read(key, card)) return open.damaged() ? Outcome::kDamaged : Outcome::kNotFound;
  if (db::DeleteWithScript(key, card) == 1) return Outcome::kDone;
  // The card was just read, so only damage or the script keep it.
  return open.damaged() ? Outcome::kDamaged : Outcome::kRefused;
}

int CreateDatabase(std::string_view database) {
  const std::string name(database);
  if (TrimmedLength(name) == 0) {
    WarningKey("ErrNB");
    return 1;
  }
  if (name.find_first_of(" \t") != std::string::npos) {
    WarningKey("SkF");
    return 1;
  }
  // Either file there already: both belong to a database that must not be overwritten.
  for (const char* extension : {".bod", ".btr"}) {
    if (FileExists(DiskName(name + extension))) {
      WarningFormat("F%is", name + extension);
      return 1;
    }
  }
  return db::Create(DiskName(name));
}

}  // namespace kv::cards
