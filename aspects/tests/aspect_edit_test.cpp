#include "aspects/aspect_edit.h"

#include <gtest/gtest.h>

#include "aspects/orb_text.h"
#include "common/codepage.h"
#include "test_support.h"

namespace kv {
namespace {

using testing_support::Shown;

class AspectEditTest : public testing_support::WorkdirTest {};

AspectRecord WithAngle(float angle) {
  AspectRecord r;
  r.angle = angle;
  return r;
}

TEST(AspectLabelText, OffAndLineKindMarks) {
  AspectRecord r = WithAngle(60.0f);
  EXPECT_EQ(AspectLabel(r), W("Аспект  60.000   "));
  r.off = 1;
  r.line_kind = 2;
  EXPECT_EQ(AspectLabel(r), W("Аспект  60.000  Откл (t)"));
  r.off = 2;  // any non-zero byte reads as off in the label
  r.line_kind = 1;
  EXPECT_EQ(AspectLabel(r), W("Аспект  60.000  Откл "));
}

TEST(ShowAndStore, FieldsAndTheirReadBack) {
  AspectRecord r = WithAngle(72.0f);
  for (int i = 0; i < 28; ++i) r.orbs[i] = 1.5f + i;
  r.line_kind = 3;
  AspectFields opening = ShowAspect(r, true);
  EXPECT_EQ(opening.angle, "72.000");
  EXPECT_EQ(ShowAspect(r, false).angle, " 72.000");
  EXPECT_EQ(opening.orbs[0], " 1.500");
  EXPECT_EQ(opening.orbs[21], "22.500");
  EXPECT_EQ(opening.line_kind, 3);

  std::array<std::string, kDialogOrbs> fields = opening.orbs;
  fields[0] = "7.25";
  fields[1] = "12.3456789";  // only 6 characters are read: 12.345
  fields[2] = "x";
  fields[21] = "99";  // the field of cusp 6 is shown only
  StoreOrbs(r, fields);
  EXPECT_EQ(r.Orb(1), 7.25f);
  EXPECT_EQ(r.Orb(2), 12.345f);
  EXPECT_EQ(r.Orb(3), 0.0f);
  EXPECT_EQ(r.Orb(21), 21.5f);
  EXPECT_EQ(r.Orb(22), 22.5f);
}

TEST(ShowAndStore, TypingSlipsInTheStoredFieldsAreFound) {
  std::array<std::string, kDialogOrbs> fields = ShowAspect(WithAngle(60.0f), true).orbs;
  EXPECT_EQ(FirstBadOrbField(fields), -1);
  // Edges that are orbs: 0, 180, blanks around, the 6-character cut of a long field.
  fields[0] = "0";
  fields[1] = " 180 ";
  fields[2] = "12.3456789";
  fields[21] = "x";  // the field of cusp 6 is never read
  EXPECT_EQ(FirstBadOrbField(fields), -1);
  for (const char* slip : {"", "  ", "x", "6,5", "6.5x", "-0.5", "180.01", "1e9"}) {
    fields[4] = slip;
    EXPECT_EQ(FirstBadOrbField(fields), 4) << '"' << slip << '"';
  }
  fields[20] = "?";  // the first slip wins
  EXPECT_EQ(FirstBadOrbField(fields), 4);
  fields[4] = "5";
  EXPECT_EQ(FirstBadOrbField(fields), 20);
}

TEST_F(AspectEditTest, NewAspectRefusesAnExistingAngle) {
  AspectTable t{WithAngle(60.0f)};
  EXPECT_EQ(NewAspect(t, "60"), NewAspectStatus::kDuplicate);
  EXPECT_EQ(Shown().back(), "IsAs");
  EXPECT_EQ(NewAspect(t, "60.000(3)"), NewAspectStatus::kDuplicate);
  EXPECT_EQ(t.size(), 1u);
  EXPECT_EQ(NewAspect(t, "60.5"), NewAspectStatus::kAdded);
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[1].angle, 60.5f);
  EXPECT_EQ(t[1].Orb(1), 1.0f);
}

TEST_F(AspectEditTest, NewAspectWithOrbMatchesItsReloadedLine) {
  AspectTable t;
  ASSERT_EQ(NewAspect(t, "72(2)"), NewAspectStatus::kAdded);
  const AspectRecord& r = t[0];
  EXPECT_EQ(r.angle, 72.0f);
  for (int p = 1; p <= 21; ++p) EXPECT_EQ(r.Orb(p), 2.0f) << p;
  EXPECT_EQ(r.off, 0);
  EXPECT_EQ(r.reserved, 0);
  EXPECT_EQ(r.colour, -1);
  EXPECT_EQ(r.line_kind, 1);
  // What the dialog holds is what a save and reload would give.
  auto back = ParseOrbLine(FormatOrbLine(r));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->orbs, r.orbs);
}

TEST_F(AspectEditTest, NewAspectWithoutANumberAddsNothing) {
  AspectTable t;
  EXPECT_EQ(NewAspect(t, "trine"), NewAspectStatus::kNotANumber);
  EXPECT_EQ(NewAspect(t, ""), NewAspectStatus::kNotANumber);
  EXPECT_TRUE(t.empty());
  EXPECT_EQ(Shown().back(), "AsNum");
}

TEST(DeleteAndToggle, SelectionMovesToThePreviousItem) {
  AspectTable t{WithAngle(0), WithAngle(60), WithAngle(90)};
  EXPECT_EQ(DeleteAspect(t, 2), 1);
  EXPECT_EQ(DeleteAspect(t, 0), 0);
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0].angle, 60.0f);
  EXPECT_EQ(DeleteAspect(t, 5), -1);
  EXPECT_EQ(t.size(), 1u);
  EXPECT_EQ(DeleteAspect(t, 0), -1);
  EXPECT_TRUE(t.empty());

  AspectTable u{WithAngle(0)};
  ToggleAspect(u, 0);
  EXPECT_EQ(u[0].off, 1);
  ToggleAspect(u, 0);
  EXPECT_EQ(u[0].off, 0);
  u[0].off = 3;
  ToggleAspect(u, 0);
  EXPECT_EQ(u[0].off, 0);
  ToggleAspect(u, -1);  // nothing
}

TEST(Colours, FamiliesRecordColourAndPen) {
  EXPECT_EQ(BuiltInAspectColour(150), Rgb(255, 0, 0));
  EXPECT_EQ(BuiltInAspectColour(135), Rgb(0, 0, 255));
  EXPECT_EQ(BuiltInAspectColour(108), Rgb(0, 255, 0));
  EXPECT_EQ(BuiltInAspectColour(40), Rgb(0, 255, 255));
  EXPECT_EQ(BuiltInAspectColour(60.5f), Rgb(0, 255, 255));

  AspectTable t{WithAngle(90), WithAngle(90)};
  t[1].colour = Rgb(1, 2, 3);
  t[1].line_kind = 5;
  EXPECT_EQ(WheelColour(t[0]), Rgb(0, 0, 255));
  SetAspectColour(t, 0, static_cast<int32_t>(0x7F112233));
  EXPECT_EQ(t[0].colour, 0x00112233);
  EXPECT_EQ(WheelColour(t[0]), 0x00112233);
  SetAspectLineKind(t, 0, 4);
  EXPECT_EQ(t[0].line_kind, 4);

  // The first record of the angle decides the pen.
  AspectPen pen = AspectPenFor(t, 90, 1, false);
  EXPECT_EQ(pen.colour, 0x00112233);
  EXPECT_EQ(pen.width, 4);
  EXPECT_EQ(AspectPenFor(t, 90, 7, false).width, 7);
  EXPECT_EQ(AspectPenFor(t, 90, 1, true).colour, 0);
  EXPECT_EQ(AspectPenFor(t, 72, 2, false).colour, Rgb(0, 255, 0));
  EXPECT_EQ(AspectPenFor({}, 72, 2, false).width, 2);
}

}  // namespace
}  // namespace kv
