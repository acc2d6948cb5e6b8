#include "common/export_names.h"

#include <gtest/gtest.h>

#include "common/codepage.h"

namespace kv {
namespace {

TEST(PictureFileName, ExtensionOnlyForANameWithoutADot) {
  EXPECT_EQ(PictureFileName("karta", PictureFormat::kJpeg), "karta.jpg");
  EXPECT_EQ(PictureFileName("karta", PictureFormat::kBmp), "karta.bmp");
  // A dot anywhere keeps the name as typed, whatever the button.
  EXPECT_EQ(PictureFileName("karta.png", PictureFormat::kJpeg), "karta.png");
  EXPECT_EQ(PictureFileName("karta.jpg", PictureFormat::kBmp), "karta.jpg");
  EXPECT_EQ(PictureFileName("v1.2", PictureFormat::kBmp), "v1.2");
  EXPECT_EQ(PictureFileName("karta.", PictureFormat::kBmp), "karta.");
  EXPECT_EQ(PictureFileName(W("Карта Иванова"), PictureFormat::kJpeg), W("Карта Иванова.jpg"));
}

TEST(FileStemOf, DropsWhatNoFileNameMayHold) {
  EXPECT_EQ(FileStemOf(W("Иванов И.И."), "karta1"), W("Иванов И.И"));
  EXPECT_EQ(FileStemOf("a/b:c*d?\"e<f>g|h\\i", "x"), "a_b_c_d__e_f_g_h_i");
  EXPECT_EQ(FileStemOf("  .. ", "karta7"), "karta7");
  EXPECT_EQ(FileStemOf("", "karta7"), "karta7");
  EXPECT_EQ(FileStemOf("..\\..\\etc", "x"), "_.._etc");
}

}  // namespace
}  // namespace kv
