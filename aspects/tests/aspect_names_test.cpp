#include "aspects/aspect_names.h"

#include <gtest/gtest.h>

#include "common/codepage.h"

namespace kv {
namespace {

TEST(AspectNames, ByTheMarkerNotByThePosition) {
  const std::string list = W("Соединение[0]/Оппозиция[180]/Трин[120]/Септиль[51.43]/Без метки");
  EXPECT_EQ(AspectNameIn(list, 0.0f), W("Соединение"));
  EXPECT_EQ(AspectNameIn(list, 180.0f), W("Оппозиция"));
  EXPECT_EQ(AspectNameIn(list, 120.0f), W("Трин"));
  // A block written by hand keeps the angle as a float: 51.43 still finds its name.
  EXPECT_EQ(AspectNameIn(list, 51.43f), W("Септиль"));
  // Angle 1 is not the item at position 1, and an item without a marker names nothing.
  EXPECT_EQ(AspectNameIn(list, 1.0f), W("1°"));
  EXPECT_EQ(AspectNameIn(list, 72.0f), W("72°"));
  EXPECT_EQ(AspectNameIn(list, 22.5f), W("22.5°"));
  EXPECT_EQ(AspectNameIn("", 90.0f), W("90°"));
}

}  // namespace
}  // namespace kv
