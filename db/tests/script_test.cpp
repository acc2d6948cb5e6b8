#include "db/schema/script.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "common/codepage.h"
#include "common/journal.h"
#include "common/messages.h"
#include "common/tests/captured_messages.h"
#include "db/records/record_store.h"
#include "db/schema/schema.h"
#include "db/tests/test_files.h"

namespace kv::db {
namespace {

std::vector<std::string>& g_warnings = kv::testing::CapturedMessages::Texts();

class ScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = testing::ScratchDir();
    SetJournalPath(dir_ + "/jur.jur");
  }
  void TearDown() override {
    base_.Close();
    SetTables({});
  }
  // Runs one script on a record and gives the record back.
  Status Run(const std::vector<std::string>& lines) { return RunScript(base_, lines, record_); }
  Database base_;
  FieldArray record_;
  std::string dir_;
  kv::testing::CapturedMessages messages_;
};

TEST_F(ScriptTest, ArithmeticAndWorkSlots) {
  EXPECT_TRUE(Run({"w5 + 1 2 3", "k2 = w5"}).ok());
  EXPECT_EQ(record_[2], "6");
  Run({"w5 / 7 2", "k2 = w5"});
  EXPECT_EQ(record_[2], "3");
  Run({"w5 / 7 0", "k2 = w5"});
  EXPECT_EQ(record_[2], "0");
  Run({"w5 / 7", "k2 = w5"});
  EXPECT_EQ(record_[2], "0");
  Run({"k3 = 10", "k3 += 5 1"});
  EXPECT_EQ(record_[3], "16");
  Run({"k3 - 10 3 2", "k4 * 2 3 4"});
  EXPECT_EQ(record_[3], "5");
  EXPECT_EQ(record_[4], "24");
  Run({"k4 * 99999 99999 99999"});  // wraps, never undefined
  EXPECT_FALSE(record_[4].empty());
  Run({"k4 / -2147483648 -1"});
  EXPECT_FALSE(record_[4].empty());
  // The work array is fresh for every run.
  Run({"k2 = w5"});
  EXPECT_TRUE(record_[2].empty());
}

TEST_F(ScriptTest, ValuesJoinsAndOperators) {
  Run({"k2 & \"a\" \"\" \"b\""});
  EXPECT_EQ(record_[2], "a b");
  Run({"k2 &, \"a\" \"b\" \"c\""});
  EXPECT_EQ(record_[2], "a,b,c");
  Run({std::string("k2 &\x01 \"a\" \"b\"")});
  EXPECT_EQ(record_[2], "ab");
  Run({"k2 & a"});  // a bare word has no value
  EXPECT_TRUE(record_[2].empty());
  Run({"k2 = \"x\"", "k2 & \"  \" \"\""});
  EXPECT_TRUE(record_[2].empty());
  Run({"k2 ! \"  \" k9 \"z\" \"y\""});
  EXPECT_EQ(record_[2], "z");
  Run({"k2 = \"keep  \""});
  EXPECT_EQ(record_[2], "keep");  // stored without trailing blanks
  record_[7] = W("москва ёж");
  Run({"k7 b k7"});
  EXPECT_EQ(record_[7], W("МОСКВА ёЖ"));
  record_[8] = Utf8ToCp866("Город");
  Run({"k8 w k8", "k9 w+ k8", "K10 W k9"});
  EXPECT_EQ(record_[8], W("Город"));
  EXPECT_EQ(record_[9], Utf8ToCp866("Город"));
  EXPECT_EQ(record_[10], W("Город"));
  record_[2] = "(null)";
  Run({"k3 = k2"});
  EXPECT_TRUE(record_[3].empty());
  record_[2] = "x";
  Run({"k2 ? \"y\""});  // not an operator: the target is emptied
  EXPECT_TRUE(record_[2].empty());
  record_[255] = "top";
  Run({"k256 = \"no\"", "k4 = k256", "k5 = k255", "\"lit\" = \"v\"", "k6"});
  EXPECT_EQ(record_[4], "");
  EXPECT_EQ(record_[5], "top");
  Run({"k2 = k2 // a note", "k3 = -5 ", "k4 = .5", "k5 = +"});
  EXPECT_EQ(record_[3], "-5");
  EXPECT_EQ(record_[4], ".5");
  EXPECT_EQ(record_[5], "+");
}

TEST_F(ScriptTest, ConditionsRunLeftToRight) {
  record_[2] = "";
  EXPECT_EQ(Run({"if k2 == \"\"", std::string("err \"") + Utf8ToCp866("Нет имени") + "\""}).code(),
            StatusCode::kCancelled);
  ASSERT_EQ(g_warnings.size(), 1u);
  EXPECT_EQ(g_warnings[0], W("Нет имени"));
  record_[2] = "Ann";
  EXPECT_TRUE(Run({"if k2 == \"\"", "err \"x\"", "k3 = \"after\""}).ok());
  EXPECT_EQ(record_[3], "after");
  // false | true & false  ->  (false or true) and false  ->  false
  Run({"if \"a\" == \"b\" | \"a\" == \"a\" & \"a\" !== \"a\"", "k4 = \"yes\""});
  EXPECT_TRUE(record_[4].empty());
  // true & false | true  ->  true
  Run({"if \"a\" == \"a\" & \"a\" == \"b\" || \"c\" == \"c\"", "k4 = \"yes\""});
  EXPECT_EQ(record_[4], "yes");
  // Malformed comparators are false; an unknown connector leaves the result; a short
  // trailing group is ignored.
  Run({"if k2 = \"Ann\"", "k5 = \"no\""});
  EXPECT_TRUE(record_[5].empty());
  Run({"if k2 == \"Ann\" ^ \"a\" == \"b\" & \"x\"", "k5 = \"yes\""});
  EXPECT_EQ(record_[5], "yes");
  EXPECT_TRUE(Run({"ret", "err \"never\""}).ok());
  EXPECT_EQ(Run({"err"}).code(), StatusCode::kCancelled);  // refuses without a message
  EXPECT_EQ(g_warnings.size(), 1u);
  EXPECT_TRUE(Run({}).ok());
  EXPECT_TRUE(Run({"if k2 == \"Ann\""}).ok());  // nothing to skip at the end
}

TEST_F(ScriptTest, SchemaFileParsing) {
  std::vector<Table> t = ParseSchema({
      "* comment", "@index=2", "@basa=\"ABCDE\"", "@index=7f 14 1 300 x9 2",
      "@des0", "  k2 = k3  // note", "", "* skipped", "   * also skipped", "@other", "k4 = k5",
      "@des2", "err \"a b\"", "@des2", "k6 = k7", "@basa=\".\"", "stray line", "@desdel", "wrjur k2",
  });
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[0].prefix, "ABC");
  auto fields = ParseIndexDeclaration(t[0].index);
  ASSERT_EQ(fields.size(), 3u);
  EXPECT_EQ(fields[0].field, 7);
  EXPECT_TRUE(fields[0].blanks);
  EXPECT_EQ(fields[1].field, 14);
  EXPECT_FALSE(fields[1].blanks);
  EXPECT_EQ(fields[2].field, 2);
  EXPECT_EQ(t[0].read_script, (std::vector<std::string>{"k2 = k3", "k4 = k5"}));
  EXPECT_EQ(t[0].write_script, (std::vector<std::string>{"k6 = k7"}));  // started afresh
  EXPECT_EQ(t[1].prefix, ".");
  EXPECT_TRUE(t[1].read_script.empty());
  EXPECT_EQ(t[1].delete_script, (std::vector<std::string>{"wrjur k2"}));
  SetTables(t);
  EXPECT_EQ(TableOfKey(".000001"), &Tables()[1]);
  EXPECT_EQ(TableOfKey("ABCx"), &Tables()[0]);
  EXPECT_EQ(TableOfKey("t.1"), nullptr);
  EXPECT_TRUE(LoadSchema(dir_ + "/missing.ctl").IsNotFound());
  EXPECT_TRUE(Tables().empty());
  EXPECT_EQ(g_warnings.size(), 1u);
}

// The shipped schema file: cards need a name, get tidied, and deletes are journalled.
TEST_F(ScriptTest, ShippedSchemaGuardsCards) {
  ASSERT_TRUE(LoadSchema(std::string(KV_TEST_DATA) + "/shembd.ctl").ok());
  const Table* cards = TableOfKey(".000001");
  const Table* towns = TableOfKey("t.000001");
  const Table* countries = TableOfKey("S.000001");
  ASSERT_TRUE(cards && towns && countries);
  EXPECT_EQ(cards->prefix, ".");
  auto town_fields = ParseIndexDeclaration(towns->index);
  ASSERT_EQ(town_fields.size(), 2u);
  EXPECT_EQ(town_fields[0].field, 7);
  EXPECT_EQ(town_fields[1].field, 14);
  ASSERT_EQ(ParseIndexDeclaration(countries->index).size(), 1u);
  EXPECT_EQ(ParseIndexDeclaration(countries->index)[0].field, 3);

  std::string name = dir_ + "/cards";
  ASSERT_TRUE(Create(name).ok());
  ASSERT_TRUE(base_.Open(name, kPersonWrite).ok());
  FieldArray card;
  card[2] = "   ";
  EXPECT_EQ(WriteWithScript(base_, ".000001", card).code(), StatusCode::kCancelled);
  ASSERT_EQ(g_warnings.size(), 1u);
  EXPECT_NE(Cp1251ToUtf8(g_warnings[0]).find("имя"), std::string::npos) << Cp1251ToUtf8(g_warnings[0]);
  FieldArray read;
  EXPECT_TRUE(base_.Read(".000001", read).IsNotFound());
  card[2] = W("Пётр");
  card[7] = W("москва");
  EXPECT_TRUE(WriteWithScript(base_, ".000001", card).ok());
  ASSERT_TRUE(ReadWithScript(base_, ".000001", read).ok());
  EXPECT_EQ(read[7], W("МОСКВА"));
  EXPECT_EQ(read[16], "0");
  EXPECT_TRUE(DeleteWithScript(base_, ".000001", read).ok());
  std::ifstream journal(dir_ + "/jur.jur");
  std::string text((std::istreambuf_iterator<char>(journal)), {});
  EXPECT_NE(text.find(W("Пётр")), std::string::npos);
  base_.Close();
  // Writing through a read-only database is a failure, not a success.
  ASSERT_TRUE(base_.Open(name, kPersonRead).ok());
  EXPECT_EQ(WriteWithScript(base_, ".000002", card).code(), StatusCode::kReadOnly);
}

TEST_F(ScriptTest, RecordCommandsUsePlainOperations) {
  std::string name = dir_ + "/cards";
  ASSERT_TRUE(Create(name).ok());
  // The write script would refuse everything; scripts never trigger scripts.
  SetTables(ParseSchema({"@basa=\".\"", "@des2", "err \"no\""}));
  ASSERT_TRUE(base_.Open(name, kPersonWrite).ok());
  record_[1] = ".5";
  EXPECT_TRUE(Run({"w2 = \"copied\"", "write \".6\"", "read \".6\"", "k3 = w2", "w9 g \".\"", "k4 = w9"}).ok());
  EXPECT_EQ(record_[3], "copied");
  EXPECT_EQ(record_[4], ".000001");
  FieldArray f;
  ASSERT_TRUE(base_.Read(".6", f).ok());
  EXPECT_TRUE(Run({"delete \".6\"", "delete k99"}).ok());
  EXPECT_TRUE(base_.Read(".6", f).IsNotFound());
  // Without a value index "indread" finds nothing and leaves the work array empty.
  EXPECT_TRUE(Run({"w2 = \"x\"", "indread \"t.\" 7 \"MOSKVA\"", "k5 = w2"}).ok());
  EXPECT_TRUE(record_[5].empty());
}

}  // namespace
}  // namespace kv::db
