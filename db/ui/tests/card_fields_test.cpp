// Cards between their fields and the dialogs: what the card dialog shows for a card,
// what it writes back, which typed values it refuses, the card of a chart, and the
// folding the name search compares.
#include "db/ui/card_fields.h"

#include <gtest/gtest.h>

#include "common/birth_checks.h"
#include "common/calendar.h"
#include "common/codepage.h"

namespace kv::cards {
namespace {

std::string W(const char* utf8) { return Utf8ToCp1251(utf8); }

CardEdits GoodEdits() {
  CardEdits e;
  e.town = W("Москва");
  e.latitude = "55.45";
  e.longitude = "37.37";
  e.name = W("Анна");
  e.moment = {"15", "06", "1990", "12", "30", "00"};
  e.correction = "-3";
  e.sex = 1;
  return e;
}

TEST(CardEditsTest, AnEmptyCardShowsTheFirstMomentOfYearOneAndStoresIt) {
  db::FieldArray card;
  const CardEdits e = EditsFromCard(card);
  const std::array<std::string, 6> want = {"01", "01", "01", "00", "00", "00"};
  EXPECT_EQ(e.moment, want);
  // Absent fields show one blank, as the dialog's edits hold them.
  EXPECT_EQ(e.name, " ");
  EXPECT_EQ(e.town, " ");
  EXPECT_EQ(e.latitude, " ");
  EXPECT_EQ(e.correction, " ");
  EXPECT_EQ(e.sex, 0);
  ASSERT_TRUE(CheckCardEdits(e, nullptr));
  ApplyEditsToCard(e, card);
  EXPECT_EQ(card[kFieldDate], "01.01.0001");
  EXPECT_EQ(card[kFieldTime], "00:00:00");
  // Blank coordinates stay blank (the store keeps no blank field).
  EXPECT_EQ(card[kFieldLatitude], "");
  EXPECT_EQ(card[kFieldSex], "0");
}

TEST(CardEditsTest, SexButtonOfFieldSixteen) {
  db::FieldArray card;
  card[kFieldSex] = "1";
  EXPECT_EQ(EditsFromCard(card).sex, 1);
  // Only 1 means a woman: 2 (or anything else) shows "Муж".
  card[kFieldSex] = "2";
  EXPECT_EQ(EditsFromCard(card).sex, 0);
  card[kFieldSex] = "";
  EXPECT_EQ(EditsFromCard(card).sex, 0);
}

TEST(CardEditsTest, WritingBackKeepsOtherFieldsAndReadsTheSame) {
  db::FieldArray card;
  card[kFieldKey] = ".000007";
  card[kFieldText2] = W("примечание");
  card[40] = "x";
  CardEdits e = GoodEdits();
  e.latitude = " 55.45";  // as the place block writes it
  ApplyEditsToCard(e, card);
  EXPECT_EQ(card[kFieldKey], ".000007");
  EXPECT_EQ(card[kFieldText2], W("примечание"));
  EXPECT_EQ(card[40], "x");
  EXPECT_EQ(card[kFieldDate], "15.06.1990");
  EXPECT_EQ(card[kFieldTime], "12:30:00");
  EXPECT_EQ(card[kFieldLatitude], "55.45");
  EXPECT_EQ(card[kFieldCorrection], "-3");
  EXPECT_EQ(card[kFieldSex], "1");
  const CardEdits back = EditsFromCard(card);
  EXPECT_EQ(back.name, e.name);
  EXPECT_EQ(back.town, e.town);
  EXPECT_EQ(back.latitude, "55.45");
  EXPECT_EQ(back.moment, e.moment);
  EXPECT_EQ(back.sex, 1);
}

// The edits hold 29 and 9 characters; a longer stored text the user did not touch
// must not be cut by saving another field.
TEST(CardEditsTest, UntouchedStoredTextsKeepEveryCharacter) {
  db::FieldArray card;
  card[kFieldName] = W("Александра Константиновна Преображенская");
  card[kFieldDate] = "7.11.1917";
  card[kFieldTime] = "22:40";
  card[kFieldLatitude] = "59.571234";
  card[kFieldLongitude] = "30.19123456";
  card[kFieldTown] = W("Петроград");
  card[kFieldSex] = "2";
  const db::FieldArray stored = card;
  CardEdits e = EditsFromCard(card);
  EXPECT_EQ(e.name.size(), 29u);
  e.town = W("Ленинград");
  ApplyEditsToCard(e, card);
  EXPECT_EQ(card[kFieldTown], W("Ленинград"));
  for (int n : {kFieldName, kFieldDate, kFieldTime, kFieldLatitude, kFieldLongitude})
    EXPECT_EQ(card[n], stored[n]) << n;
  // The sex is what the dialog showed: "Муж".
  EXPECT_EQ(card[kFieldSex], "0");
  // Edited, they are written as typed, within their limits.
  e.name = std::string(40, 'N');
  e.latitude = "55.45";
  e.moment[3] = "23";
  ApplyEditsToCard(e, card);
  EXPECT_EQ(card[kFieldName], std::string(29, 'N'));
  EXPECT_EQ(card[kFieldLatitude], "55.45");
  EXPECT_EQ(card[kFieldDate], "07.11.1917");
  EXPECT_EQ(card[kFieldTime], "23:40:00");
  EXPECT_EQ(card[kFieldLongitude], stored[kFieldLongitude]);
}

TEST(CardEditsTest, ImpossibleMomentsAndPlacesAreRefusedWithTheirField) {
  struct Case {
    const char* what;
    std::function<void(CardEdits&)> change;
    const char* key;
    int edit;
  };
  const Case cases[] = {
      {"31 February", [](CardEdits& e) { e.moment[0] = "31"; e.moment[1] = "02"; }, kCheckDayKey,
       kEditDay},
      {"29 February 1900", [](CardEdits& e) { e.moment = {"29", "02", "1900", "0", "0", "0"}; },
       kCheckDayKey, kEditDay},
      {"the calendar gap", [](CardEdits& e) { e.moment = {"10", "10", "1582", "0", "0", "0"}; },
       kCheckGapKey, kEditDay},
      {"month 13", [](CardEdits& e) { e.moment[1] = "13"; }, kCheckDateKey, kEditDay + 1},
      {"year 0", [](CardEdits& e) { e.moment[2] = "0"; }, kCheckDateKey, kEditDay + 2},
      {"letters in the day", [](CardEdits& e) { e.moment[0] = "1a"; }, kCheckDateKey, kEditDay},
      {"hour 24", [](CardEdits& e) { e.moment[3] = "24"; }, kCheckTimeKey, kEditDay + 3},
      {"minute 60", [](CardEdits& e) { e.moment[4] = "60"; }, kCheckTimeKey, kEditDay + 4},
      {"latitude 90.01", [](CardEdits& e) { e.latitude = "90.01"; }, kCheckLatitudeKey,
       kEditLatitude},
      {"latitude minutes 60", [](CardEdits& e) { e.latitude = "55.60"; }, kCheckLatitudeKey,
       kEditLatitude},
      {"longitude 360", [](CardEdits& e) { e.longitude = "360.00"; }, kCheckLongitudeKey,
       kEditLongitude},
      {"longitude -180.01", [](CardEdits& e) { e.longitude = "-180.01"; }, kCheckLongitudeKey,
       kEditLongitude},
      {"longitude minutes 75", [](CardEdits& e) { e.longitude = "37.75"; }, kCheckLongitudeKey,
       kEditLongitude},
      {"correction 15", [](CardEdits& e) { e.correction = "15"; }, kCheckCorrectionKey,
       kEditCorrection},
      {"correction text", [](CardEdits& e) { e.correction = "minus 3"; }, kCheckCorrectionKey,
       kEditCorrection},
  };
  for (const Case& c : cases) {
    CardEdits e = GoodEdits();
    c.change(e);
    CardRefusal r;
    EXPECT_FALSE(CheckCardEdits(e, &r)) << c.what;
    EXPECT_STREQ(r.key, c.key) << c.what;
    EXPECT_EQ(r.edit, c.edit) << c.what;
  }
}

TEST(CardEditsTest, EdgesThatAreGoodCards) {
  const std::function<void(CardEdits&)> good[] = {
      [](CardEdits& e) { e.moment = {"29", "02", "2000", "23", "59", "59"}; },
      [](CardEdits& e) { e.moment = {"04", "10", "1582", "0", "0", "0"}; },
      // Far outside the ephemeris files: a card, refused only when a chart is made.
      [](CardEdits& e) { e.moment = {"01", "01", "0001", "00", "00", "00"}; },
      [](CardEdits& e) { e.moment[2] = "-500"; },
      [](CardEdits& e) { e.longitude = "359.59"; e.latitude = "-90.00"; },
      [](CardEdits& e) { e.longitude = "-180.00"; e.latitude = "90.00"; },
      [](CardEdits& e) { e.latitude = "55,45"; },  // the comma of a Russian keyboard
      [](CardEdits& e) { e.latitude = "  "; e.longitude = ""; e.correction = " "; },
      [](CardEdits& e) { e.correction = "-14"; },
  };
  for (const auto& change : good) {
    CardEdits e = GoodEdits();
    change(e);
    CardRefusal r;
    EXPECT_TRUE(CheckCardEdits(e, &r)) << (r.key ? r.key : "");
  }
}

TEST(ChartCardTest, FieldsOfAComputedChart) {
  ChartCard c;
  c.name = W("Пётр Иванов");
  c.jd_local = DateToJulianDay({7, 11, 1917, 22, 40, 0}) - 0.2 / 86400;  // a hair below
  c.lat_packed = 59.57;
  c.lon_packed = -74.0;
  c.correction_h = -3;
  c.place = W("Петроград");
  c.text2 = W("заметка");
  c.sex = 1;
  const db::FieldArray card = CardFromChart(c);
  EXPECT_EQ(card[kFieldName], c.name);
  EXPECT_EQ(card[kFieldDate], "07.11.1917");
  EXPECT_EQ(card[kFieldTime], "22:40:00");
  EXPECT_EQ(card[kFieldLatitude], "59.57");
  EXPECT_EQ(card[kFieldLongitude], "-74.00");
  EXPECT_EQ(card[kFieldCorrection], "-3.00");
  EXPECT_EQ(card[kFieldTown], c.place);
  EXPECT_EQ(card[kFieldText2], c.text2);
  // A woman's chart comes back as a woman's card.
  EXPECT_EQ(card[kFieldSex], "1");
  EXPECT_TRUE(card[kFieldKey].empty());
  // A local-mean-time correction keeps the third decimal rather than move the chart.
  c.correction_h = -2.505;
  c.sex = 0;
  const db::FieldArray lmt = CardFromChart(c);
  EXPECT_EQ(lmt[kFieldCorrection], "-2.505");
  EXPECT_EQ(lmt[kFieldSex], "0");
  // What the card shows is again what the chart was made from.
  const CardEdits e = EditsFromCard(lmt);
  const std::array<std::string, 6> want = {"07", "11", "1917", "22", "40", "00"};
  EXPECT_EQ(e.moment, want);
  EXPECT_TRUE(CheckCardEdits(e, nullptr));
}

TEST(CatalogueTextTest, LineAndNameSearch) {
  db::FieldArray card;
  card[kFieldName] = W("Ёлкина Анна");
  card[kFieldDate] = "01.02.1990";
  card[kFieldTime] = "03:04:05";
  card[kFieldTown] = W("МОСКВА");
  EXPECT_EQ(CatalogueLine(card), W("Ёлкина Анна  01.02.1990 03:04:05 МОСКВА"));
  const std::string folded = FoldForSearch(card[kFieldName]);
  EXPECT_EQ(folded, W("ЕЛКИНА АННА"));
  for (const char* typed : {"ел", "ЁЛ", "Ёлкина а", "елкина анна"})
    EXPECT_TRUE(BeginsWithFolded(folded, FoldForSearch(W(typed)))) << typed;
  for (const char* typed : {"лк", "Ёлкина Анна!", "ж"})
    EXPECT_FALSE(BeginsWithFolded(folded, FoldForSearch(W(typed)))) << typed;
  // Latin letters fold as well; other bytes stay.
  EXPECT_EQ(FoldForSearch("abc-1"), "ABC-1");
}

}  // namespace
}  // namespace kv::cards
