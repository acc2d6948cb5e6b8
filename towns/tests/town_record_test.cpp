#include "towns/town_record.h"

#include <gtest/gtest.h>

#include "common/codepage.h"
#include "towns/town_search.h"

namespace kv::towns {
namespace {

db::FieldArray Samara() {
  db::FieldArray f;
  f[kFieldZoneCode] = "342";
  f[kFieldLatitude] = "53.12";
  f[kFieldLongitude] = "50.09";
  f[kFieldTownName] = W("Самара");
  f[kFieldCountryRegion] = W("Россия, Самарская область");
  f[kFieldNamePart2] = W("Самарская область");
  f[kFieldCountry] = W("Россия");
  return f;
}

TEST(TownListLine, ColumnsOfTheChooserList) {
  // "%-25.25s %-25.25s %8s %8s  %4.4s  %-4.4s", written out by hand.
  const std::string name = W("Самара") + std::string(19, ' ');
  const std::string place = W("Россия, Самарская область");  // exactly 25 characters
  EXPECT_EQ(TownListLine(Samara()), name + " " + place + " " + "   53.12" + " " + "   50.09" +
                                        "  " + " 342" + "  " + "-   ");
}

TEST(TownListLine, LongTextsAreCutAndMissingCodesShowADash) {
  db::FieldArray f = Samara();
  f[kFieldTownName] = std::string(30, 'N');
  f[kFieldCountryRegion] = "";
  f[kFieldZoneCode] = "\xFF";
  f[kFieldFixedOffset] = "3";
  f[kFieldLongitude] = "-122.25";
  EXPECT_EQ(TownListLine(f), std::string(25, 'N') + " " + std::string(25, ' ') + "    53.12" +
                                 "  -122.25" + "     -" + "  3   ");
  f[kFieldZoneCode] = "12345";
  EXPECT_EQ(TownListLine(f).substr(69, 6), "  1234");
}

TEST(ChosenTown, NameWithTheFurtherPartsAndTheEastLongitude) {
  db::FieldArray f = Samara();
  EXPECT_EQ(ChosenTownText(f), W("Самара,Самарская область"));
  f[kFieldNamePart3] = "X";
  EXPECT_EQ(ChosenTownText(f), W("Самара,Самарская область,X"));
  f[kFieldNamePart2] = "";
  f[kFieldTownName] = std::string(45, 'a');
  EXPECT_EQ(ChosenTownText(f), std::string(40, 'a') + ",X");

  EXPECT_EQ(LongitudeFieldText(f), "50.09");
  f[kFieldLongitude] = "-74.00";
  EXPECT_EQ(LongitudeFieldText(f), "286.00");
  f[kFieldLongitude] = "-73.59";  // 73 degrees 59 minutes west
  EXPECT_EQ(LongitudeFieldText(f), "286.01");
  f[kFieldLongitude] = "-0.30";
  EXPECT_EQ(LongitudeFieldText(f), "359.30");
  EXPECT_DOUBLE_EQ(EastLongitude(180.0), 180.0);
}

TEST(ChosenTown, RegionFromFieldTwelveOrFromTheCountryAndRegionField) {
  db::FieldArray f = Samara();
  EXPECT_EQ(TownRegion(f), W("Самарская область"));
  f[kFieldNamePart2] = "";
  EXPECT_EQ(TownRegion(f), W("Самарская область"));
  f[kFieldCountryRegion] = W("Россия");
  EXPECT_EQ(TownRegion(f), "");
}

TEST(CountryLine, SecondNameInParentheses) {
  db::FieldArray c;
  c[kFieldCountryName] = W("Россия");
  EXPECT_EQ(CountryListLine(c), W("Россия"));
  c[kFieldCountryOtherName] = "Russia";
  EXPECT_EQ(CountryListLine(c), W("Россия (Russia)"));
}

TEST(SearchFolding, CaseAndYoAreIgnoredOtherLettersAreNot) {
  EXPECT_EQ(FoldForSearch(W("самара ёлки Orel")), W("САМАРА ЕЛКИ OREL"));
  EXPECT_TRUE(BeginsWithFolded(W("Орёл"), W("ОРЕ")));
  EXPECT_TRUE(BeginsWithFolded(W("Орел"), W("орё")));
  EXPECT_TRUE(BeginsWithFolded(W("New York"), "new y"));
  EXPECT_FALSE(BeginsWithFolded(W("Орск"), W("Орё")));
  EXPECT_FALSE(BeginsWithFolded(W("Ор"), W("Орёл")));
  // Bytes that are no letters stay as they are.
  EXPECT_EQ(FoldForSearch("1-2 \xB9"), "1-2 \xB9");
}

}  // namespace
}  // namespace kv::towns
