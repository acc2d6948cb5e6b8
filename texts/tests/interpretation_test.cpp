#include "texts/interpretation.h"

#include "chart/record/chart_rules.h"
#include "texts/output_file.h"
#include "texts/tests/test_files.h"

namespace kv::test {
namespace {

// Cusps at 10°, 40°, … 340° (the Ascendant in Aries, the fourth cusp in Cancer);
// the Sun at 125° (Leo, house 4), the Moon at 95° (Cancer, house 3), Mercury at 135°
// (Leo, house 5), the other bodies at 200° (Libra, house 7).
ChartRecord TestChart(uint8_t sex = 0, int16_t house_system = 1) {
  ChartRecord rec = DefaultChartRecord();
  rec.house_system = house_system;
  rec.sex = sex;
  for (int k = 1; k <= 12; ++k) rec.lon[16 + k] = 10.0 + 30.0 * (k - 1);
  for (int b = 1; b <= 16; ++b) rec.lon[b] = 200.0;
  rec.lon[1] = 125.0;
  rec.lon[2] = 95.0;
  rec.lon[3] = 135.0;
  return rec;
}

BodyNames Names() {
  BodyNames n;
  for (const char* s : {"Солнце", "Луна", "Меркурий", "Венера", "Марс", "Юпитер", "Сатурн",
                        "Уран", "Нептун", "Плутон", "В.Узел", "Селена", "Хирон",
                        "Прозерпина", "Лилит", "Н.Узел"})
    n.push_back(W(s));
  return n;
}

class Natal : public TextsTest {
 protected:
  void SetUp() override {
    TextsTest::SetUp();
    Write866("kvinat.csr",
             {"@0", "Предисловие.", "@000", "Второе.", "@IP01", "О Солнце.", "@p01z05",
              "Солнце во Льве.", "@p01h04", "Солнце в 4 доме.", "@IP02", "О Луне.", "@p02z04",
              "Луна в Раке.", "@p02h03", "Луна в 3 доме.", "@h01z01", "Асцендент в Овне.",
              "@IP03", "О Меркурии.", "@p03z05", "Меркурий во Льве.", "@p04z07",
              "Венера в Весах.", "@h04z04", "IC в Раке.", "#М", "Мужчине.", "#Ж", "Женщине.", "#"});
    opt_.workdir = dir_;
    opt_.lp = {0b111, 0b11, 0b101};  // signs: Sun..Mercury; Asc and IC; houses: Sun, Mercury
  }
  std::string Run(const ChartRecord& rec) {
    std::string out;
    EXPECT_TRUE(WriteNatalInterpretation(rec, opt_, Names(), out));
    return out;
  }
  InterpretationOptions opt_;
};

TEST_F(Natal, PrintsTheSelectedTextsInTheirOrder) {
  std::string expected = W(
      "Предисловие.\n\n"
      "\n"
      "Второе.\n\n"
      "О Солнце.\n\n"
      "Солнце во Льве.\n\n"
      " Солнце в 4-м доме\n"
      "Солнце в 4 доме.\n\n"
      "О Луне.\n\n"
      "Луна в Раке.\n\n"
      "Асцендент в Овне.\n\n"
      "О Меркурии.\n\n"
      "Меркурий во Льве.\n\n"
      " Меркурий в 5-м доме\n"  // the heading stands although "p03h05" is missing
      "IC в Раке.\n"
      "Мужчине.\n\n");
  EXPECT_EQ(Run(TestChart(0)), expected);
}

TEST_F(Natal, AWomansChartGetsTheWomensParts) {
  std::string out = Run(TestChart(1));
  EXPECT_NE(out.find(W("Женщине.")), std::string::npos);
  EXPECT_EQ(out.find(W("Мужчине.")), std::string::npos);
}

TEST_F(Natal, WithoutHousesOnlyPrefacesAndSignTextsArePrinted) {
  std::string expected = W(
      "Предисловие.\n\n\n"
      "Второе.\n\n"
      "О Солнце.\n\nСолнце во Льве.\n\n"
      "О Луне.\n\nЛуна в Раке.\n\n"
      "О Меркурии.\n\nМеркурий во Льве.\n\n");
  EXPECT_EQ(Run(TestChart(0, kNoHousesSystem)), expected);
}

TEST_F(Natal, NoCollectionPrintsNothing) {
  opt_.natal_collection = "absent";
  std::string out;
  EXPECT_FALSE(WriteNatalInterpretation(TestChart(), opt_, Names(), out));
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(Shown().size(), 1u);
}

class Details : public TextsTest {
 protected:
  void SetUp() override {
    TextsTest::SetUp();
    Write866("zdp.csr", {"@z05", "Лев.", "@h04", "Четвёртый дом.", "@p01", "Солнце.", "#Ж",
                         "Для неё.", "#", "@p01z05", "Солнце во Льве.", "@p01h04",
                         "Солнце в 4 доме."});
    opt_.workdir = dir_;
  }
  InterpretationOptions opt_;
};

TEST_F(Details, PlanetShowsItsSignAndHouseUnderTheHeadingThenFifteenEmptyLines) {
  std::string out;
  ASSERT_TRUE(WriteDetails(TestChart(1), DetailsKind::kPlanet, 1, opt_, Names(), out));
  std::string expected = W(
      "Солнце.\nДля неё.\n\n"
      "Солнце во Льве.\n\n"
      "  Солнце в 4-м доме\n\n"
      "Солнце в 4 доме.\n\n") + std::string(15, '\n');
  EXPECT_EQ(out, expected);
}

TEST_F(Details, SignAndHouseShowTheirOwnTextOnly) {
  std::string sign, house;
  ASSERT_TRUE(WriteDetails(TestChart(), DetailsKind::kSign, 5, opt_, Names(), sign));
  ASSERT_TRUE(WriteDetails(TestChart(), DetailsKind::kHouse, 4, opt_, Names(), house));
  EXPECT_EQ(sign, W("Лев.\n\n") + std::string(15, '\n'));
  EXPECT_EQ(house, W("Четвёртый дом.\n\n") + std::string(15, '\n'));
}

TEST_F(Details, PlanetOfAChartWithoutHousesGetsNoHouseHeading) {
  std::string out;
  ASSERT_TRUE(WriteDetails(TestChart(0, kNoHousesSystem), DetailsKind::kPlanet, 1, opt_, Names(), out));
  EXPECT_EQ(out, W("Солнце.\n\nСолнце во Льве.\n\n") + std::string(15, '\n'));
}

TEST_F(TextsTest, OutputFileBeginsWithTheTitleLineAndNeverOverwrites) {
  auto a = WriteOutputTextFile(dir_, W("Иванов"), "body\n");
  auto b = WriteOutputTextFile(dir_, "", "");
  ASSERT_TRUE(a && b);
  EXPECT_NE(*a, *b);
  EXPECT_EQ(ReadBytes(a->filename()), W("\n Иванов\n\nbody\n"));
  EXPECT_EQ(ReadBytes(b->filename()), "\n \n\n");
  EXPECT_EQ(a->extension(), ".tmp");
  EXPECT_TRUE(Shown().empty());
}

TEST_F(TextsTest, OutputFileInAMissingFolderGivesTheTmpMessage) {
  SetTextLookup([](std::string_view key) {
    return key == "tmp" ? std::string("no temporary file") : std::string(key);
  });
  EXPECT_FALSE(WriteOutputTextFile(dir_ / "missing", "t", "x"));
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_EQ(Shown()[0], "no temporary file");
}

}  // namespace
}  // namespace kv::test
