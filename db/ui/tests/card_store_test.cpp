// The database actions of the dialogs on real files with the shipped schema: new keys,
// refused cards leaving the files byte for byte, the catalogue listing, deleting with
// the delete script, damaged and missing databases, creating a database.
#include "db/ui/card_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/codepage.h"
#include "common/journal.h"
#include "common/messages.h"
#include "common/tests/captured_messages.h"
#include "db/records/record_store.h"
#include "db/schema/schema.h"
#include "db/tests/test_files.h"
#include "db/ui/card_fields.h"

namespace kv::cards {
namespace {

using db::testing::FileBytes;

std::vector<std::string>& g_warnings = kv::testing::CapturedMessages::Texts();

std::string W(const char* utf8) { return Utf8ToCp1251(utf8); }

class CardStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = db::testing::ScratchDir();
    SetJournalPath(dir_ + "/jur.jur");
    ASSERT_TRUE(db::LoadSchema(std::string(KV_TEST_DATA) + "/shembd.ctl").ok());
    name_ = dir_ + "/persons";
    ASSERT_TRUE(CreateDatabase(name_).ok());
  }
  void TearDown() override {
    db::SetTables({});
    std::filesystem::remove_all(dir_);
  }

  db::FieldArray Card(const char* name_utf8, const char* town_utf8 = "Москва") {
    db::FieldArray c;
    c[kFieldName] = W(name_utf8);
    c[kFieldDate] = "15.06.1990";
    c[kFieldTime] = "12:30:00";
    c[kFieldTown] = W(town_utf8);
    return c;
  }
  std::string Add(const char* name_utf8) {
    db::FieldArray c = Card(name_utf8);
    std::string key;
    EXPECT_EQ(AddCard(name_, c, &key), Outcome::kDone);
    return key;
  }
  std::vector<uint8_t> Bytes() {
    std::vector<uint8_t> b = FileBytes(name_ + ".bod");
    std::vector<uint8_t> i = FileBytes(name_ + ".btr");
    b.insert(b.end(), i.begin(), i.end());
    return b;
  }

  std::string dir_;
  std::string name_;
  kv::testing::CapturedMessages messages_;
};

TEST_F(CardStoreTest, NewCardsTakeTheNextKeysAndPassTheWriteScript) {
  EXPECT_EQ(Add("Анна"), ".000001");
  db::FieldArray c = Card("Борис", "Тверь");
  std::string key;
  ASSERT_EQ(AddCard(name_, c, &key), Outcome::kDone);
  EXPECT_EQ(key, ".000002");
  // The script's changes come back in the card: the town in capitals, the sex set.
  EXPECT_EQ(c[kFieldTown], W("ТВЕРЬ"));
  EXPECT_EQ(c[kFieldSex], "0");
  db::FieldArray read;
  ASSERT_EQ(ReadCard(name_, key, read), Outcome::kDone);
  EXPECT_EQ(read[kFieldKey], key);
  EXPECT_EQ(read[kFieldName], W("Борис"));
  EXPECT_EQ(read[kFieldTown], W("ТВЕРЬ"));
  EXPECT_TRUE(g_warnings.empty());
  EXPECT_EQ(OpenDatabases(), 0);  // nothing stays open
}

TEST_F(CardStoreTest, ACardTheScriptRefusesLeavesTheFilesByteForByte) {
  // On an empty database (the key counter does not exist yet) and on one with cards.
  for (int round = 0; round < 2; ++round) {
    const std::vector<uint8_t> before = Bytes();
    db::FieldArray nameless = Card("   ");
    std::string key = "unchanged";
    EXPECT_EQ(AddCard(name_, nameless, &key), Outcome::kRefused);
    EXPECT_EQ(key, "unchanged");
    ASSERT_EQ(g_warnings.size(), 1u);
    EXPECT_EQ(g_warnings[0], W("Не введено имя: карточка не записана."));
    EXPECT_EQ(Bytes(), before);
    g_warnings.clear();
    Add("Анна");
  }
  // Correcting a card into a nameless one is refused the same way.
  const std::vector<uint8_t> before = Bytes();
  db::FieldArray nameless = Card("");
  EXPECT_EQ(RewriteCard(name_, ".000001", nameless), Outcome::kRefused);
  EXPECT_EQ(Bytes(), before);
  db::FieldArray read;
  ASSERT_EQ(ReadCard(name_, ".000001", read), Outcome::kDone);
  EXPECT_EQ(read[kFieldName], W("Анна"));
}

TEST_F(CardStoreTest, CatalogueListsEveryCardInKeyOrderAndReadsLinesOnDemand) {
  // Keys written out of order, one of another table and the counter record.
  {
    db::Database base;
    ASSERT_TRUE(base.Open(name_, db::kPersonWrite).ok());
    for (const char* key : {".000010", ".000002", ".000100"}) {
      db::FieldArray c = Card(key + 1);
      ASSERT_TRUE(base.Write(key, c).ok());
    }
    db::FieldArray other = Card("other");
    ASSERT_TRUE(base.Write("t.000001", other).ok());
  }
  Add("Последняя");
  const Catalogue c = LoadCatalogue(name_);
  ASSERT_TRUE(c.opened);
  EXPECT_FALSE(c.damaged);
  std::vector<std::string> keys;
  for (const CatalogueRow& r : c.rows) keys.push_back(r.key);
  // A new counter starts at 000000 and takes the first key not in use.
  EXPECT_EQ(keys, (std::vector<std::string>{".000001", ".000002", ".000010", ".000100"}));
  EXPECT_EQ(c.rows[0].name, W("Последняя"));
  EXPECT_EQ(c.rows[0].folded, W("ПОСЛЕДНЯЯ"));
  EXPECT_FALSE(c.rows[0].complete);
  std::vector<CatalogueRow> rows = c.rows;
  std::vector<CatalogueRow*> some = {&rows[1], &rows[3]};
  ASSERT_EQ(CompleteRows(name_, some), Outcome::kDone);
  EXPECT_TRUE(rows[1].complete);
  EXPECT_FALSE(rows[2].complete);
  EXPECT_EQ(rows[1].line, W("000002  15.06.1990 12:30:00 Москва"));
  EXPECT_EQ(OpenDatabases(), 0);
}

TEST_F(CardStoreTest, DeletingRunsTheDeleteScriptOnTheStoredCard) {
  const std::string key = Add("Удаляемая");
  Add("Остаётся");
  EXPECT_EQ(DeleteCard(name_, key), Outcome::kDone);
  db::FieldArray read;
  EXPECT_EQ(ReadCard(name_, key, read), Outcome::kNotFound);
  EXPECT_EQ(ReadCard(name_, ".000002", read), Outcome::kDone);
  // The journal keeps what was deleted.
  std::ifstream in(dir_ + "/jur.jur", std::ios::binary);
  const std::string journal((std::istreambuf_iterator<char>(in)), {});
  EXPECT_NE(journal.find(W("Удалена карточка .000001 Удаляемая 15.06.1990 МОСКВА")),
            std::string::npos)
      << Cp1251ToUtf8(journal);
  EXPECT_EQ(DeleteCard(name_, key), Outcome::kNotFound);
}

TEST_F(CardStoreTest, ADamagedDatabaseIsShownAndNeverChanged) {
  Add("Анна");
  Add("Борис");
  // The used count of block 0 says less than its first entry needs.
  std::vector<uint8_t> bod = FileBytes(name_ + ".bod");
  db::testing::Set16(bod, 0, 10);
  db::testing::WriteBytes(name_ + ".bod", bod);
  const std::vector<uint8_t> before = Bytes();

  const Catalogue c = LoadCatalogue(name_);
  EXPECT_TRUE(c.opened);
  EXPECT_TRUE(c.damaged);
  ASSERT_EQ(g_warnings.size(), 1u);
  EXPECT_NE(g_warnings[0].find(W("повреждён")), std::string::npos) << Cp1251ToUtf8(g_warnings[0]);
  EXPECT_EQ(DeleteCard(name_, ".000001"), Outcome::kDamaged);
  db::FieldArray card = Card("Новая");
  EXPECT_EQ(RewriteCard(name_, ".000002", card), Outcome::kDamaged);
  std::string key;
  card = Card("Новая");
  const Outcome added = AddCard(name_, card, &key);
  EXPECT_TRUE(added == Outcome::kDamaged || added == Outcome::kNoKey);
  EXPECT_EQ(Bytes(), before);
  EXPECT_EQ(OpenDatabases(), 0);
}

TEST_F(CardStoreTest, AMissingDatabaseOpensNothingAndMakesNoFile) {
  const std::string missing = dir_ + "/none";
  EXPECT_FALSE(LoadCatalogue(missing).opened);
  EXPECT_FALSE(CanOpen(missing));
  db::FieldArray card = Card("Анна");
  std::string key;
  EXPECT_EQ(AddCard(missing, card, &key), Outcome::kCannotOpen);
  EXPECT_EQ(ReadCard(missing, ".000001", card), Outcome::kCannotOpen);
  EXPECT_EQ(DeleteCard(missing, ".000001"), Outcome::kCannotOpen);
  EXPECT_FALSE(std::filesystem::exists(missing + ".bod"));
  EXPECT_FALSE(std::filesystem::exists(missing + ".btr"));
  EXPECT_TRUE(g_warnings.empty());
  EXPECT_TRUE(CanOpen(name_));
}

TEST_F(CardStoreTest, CreatingRefusesBadNamesAndTakenFiles) {
  g_warnings.clear();
  EXPECT_EQ(CreateDatabase("  ").code(), StatusCode::kInvalidArgument);
  EXPECT_EQ(CreateDatabase(dir_ + "/two words").code(), StatusCode::kInvalidArgument);
  EXPECT_EQ(CreateDatabase(name_).code(), StatusCode::kAlreadyExists);
  // A key index left alone is not overwritten either.
  { std::ofstream(dir_ + "/orphan.btr") << "x"; }
  EXPECT_EQ(CreateDatabase(dir_ + "/orphan").code(), StatusCode::kAlreadyExists);
  EXPECT_EQ(FileBytes(dir_ + "/orphan.btr").size(), 1u);
  ASSERT_EQ(g_warnings.size(), 4u);
  EXPECT_EQ(g_warnings[0], "ErrNB");
  EXPECT_EQ(g_warnings[1], "SkF");
  EXPECT_NE(g_warnings[2].find(name_ + ".bod"), std::string::npos) << g_warnings[2];
  EXPECT_NE(g_warnings[3].find(dir_ + "/orphan.btr"), std::string::npos) << g_warnings[3];
  EXPECT_FALSE(std::filesystem::exists(dir_ + "/orphan.bod"));
  // A Cyrillic name: the files carry it in the file system's UTF-8.
  const std::string cyrillic = dir_ + "/" + W("клиенты");
  ASSERT_TRUE(CreateDatabase(cyrillic).ok());
  EXPECT_TRUE(std::filesystem::exists(dir_ + "/клиенты.bod"));
  EXPECT_TRUE(std::filesystem::exists(dir_ + "/клиенты.btr"));
  db::FieldArray card = Card("Анна");
  std::string key;
  EXPECT_EQ(AddCard(cyrillic, card, &key), Outcome::kDone);
  EXPECT_EQ(LoadCatalogue(cyrillic).rows.size(), 1u);
}

}  // namespace
}  // namespace kv::cards
