#include "texts/reference_texts.h"

#include "texts/tests/test_files.h"

namespace kv::test {
namespace {

TEST(ReferenceKeys, SignsAndHousesTakeTheTwelveRows) {
  EXPECT_EQ(SignsDialogKey(0), "z01");
  EXPECT_EQ(SignsDialogKey(11), "z12");
  EXPECT_EQ(HousesDialogKey(4), "h05");
  for (int bad : {-1, 12}) {
    EXPECT_FALSE(SignsDialogKey(bad)) << bad;
    EXPECT_FALSE(HousesDialogKey(bad)) << bad;
  }
}

// The planets dialog: the Sun (row 0) to Pluto (row 9) only; the nodes, Selena,
// Chiron, Proserpina and Lilith (row 14) have no texts there, whatever the button.
TEST(ReferenceKeys, PlanetsDialogStopsAtPluto) {
  EXPECT_EQ(PlanetsDialogKey(PlanetButton::kPlanet, 9, -1, -1), "p10");
  EXPECT_EQ(PlanetsDialogKey(PlanetButton::kPlanetInSign, 0, 11, -1), "p01z12");
  EXPECT_EQ(PlanetsDialogKey(PlanetButton::kPlanetInHouse, 3, -1, 0), "p04h01");
  for (auto b : {PlanetButton::kPlanet, PlanetButton::kPlanetInSign, PlanetButton::kPlanetInHouse})
    for (int planet : {-1, 10, 14, 15}) EXPECT_FALSE(PlanetsDialogKey(b, planet, 0, 0));
  // A sign or house without a selection gives no key (and no "p01z00").
  EXPECT_FALSE(PlanetsDialogKey(PlanetButton::kPlanetInSign, 0, -1, 0));
  EXPECT_FALSE(PlanetsDialogKey(PlanetButton::kPlanetInHouse, 0, 0, 12));
}

using ReferenceText = TextsTest;

// A reference text belongs to no chart: neither the men's nor the women's part shows.
TEST_F(ReferenceText, ShowsTheCommonPartsOnly) {
  Write866("zdp.csr", {"@z05", "Общее.", "#М", "Мужчине.", "#Ж", "Женщине.", "#", "Конец.", "", ""});
  InterpretationOptions o;
  o.workdir = dir_;
  std::string out;
  ASSERT_TRUE(WriteReferenceText("z05", o, out));
  EXPECT_EQ(out, W("Общее.\nКонец.\n\n"));
  out.clear();
  ASSERT_TRUE(WriteReferenceText("z06", o, out));
  EXPECT_EQ(out, "");
  o.details_collection = "none";
  EXPECT_FALSE(WriteReferenceText("z05", o, out));
}

TEST(NatalTitle, NamesThePersonTheMomentAndThePlace) {
  SetTextLookup([](std::string_view key) {
    return key == "IntTtl" ? W("Натальная интерпретация: %s") : std::string(key);
  });
  ChartRecord rec = DefaultChartRecord();
  SetChartText(rec.name, W("Пример").c_str());
  SetChartText(rec.place, W("Москва").c_str());
  rec.jd_local = 2437364.0868055555;  // 05.03.1961 14:05
  EXPECT_EQ(NatalTitle(rec), W("Натальная интерпретация: Пример, 05.03.1961 14:05:00, Москва"));
  rec.place[0] = 0;
  EXPECT_EQ(NatalTitle(rec), W("Натальная интерпретация: Пример, 05.03.1961 14:05:00"));
  SetTextLookup(nullptr);
}

}  // namespace
}  // namespace kv::test
