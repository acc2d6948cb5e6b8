#include "app/settings/program_settings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/codepage.h"
#include "common/messages.h"

namespace kv {
namespace {

std::string g_warned;
void Capture(const std::string& t) { g_warned = t; }

TEST(ProgramSettings, MissingFilesWarnAndKeepDefaults) {
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / "kv_settings_missing";
  fs::remove_all(dir);
  fs::create_directories(dir);
  fs::path old = fs::current_path();
  fs::current_path(dir);
  MessageSink sink = SetMessageSink({&Capture, &Capture});
  Settings s;
  TextResources res;
  ResourceLists lists;
  LoadProgramSettings(s, res, lists);
  EXPECT_EQ(Cp1251ToUtf8(g_warned), "Не открывается файл 'kvi.ini'");
  EXPECT_EQ(res.Lookup("NoKr"), "NoKr");
  EXPECT_EQ(s.orb_file, "0.ao");
  EXPECT_DOUBLE_EQ(s.startup.jd_ut, 2451545.0);
  EXPECT_TRUE(SaveProgramSettings(s));
  EXPECT_TRUE(fs::exists("kvi.ini"));
  SetMessageSink(sink);
  fs::current_path(old);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace kv
