#include "app/settings/program_settings.h"

#include "common/files.h"

namespace kv {
namespace {
SchemaLoader g_schema_loader = nullptr;
}

ResourceLists& AppLists() {
  static ResourceLists lists;
  return lists;
}

Settings& AppSettings() {
  static Settings settings;
  return settings;
}

ChartRecord& StartupChart() {
  static ChartRecord record = DefaultChartRecord();
  return record;
}

ChartRecord& WorkingChart() {
  static ChartRecord record = DefaultChartRecord();
  return record;
}

void SetSchemaLoader(SchemaLoader loader) { g_schema_loader = loader; }

void LoadProgramSettings(Settings& s, TextResources& res, ResourceLists& lists) {
  s.one_second = 1.0 / (24.0 * 3600.0);
  if (!res.LoadFile(kTextResourceFile)) WarnCannotOpen(kTextResourceFile);
  lists.plh2 = res.LookupList("PLH2");
  lists.pland = res.LookupList("PLANd");
  lists.ph = res.LookupList("P-H");
  lists.zod = res.LookupList("ZOD");
  lists.zodp = res.LookupList("ZODp");
  s.startup = BirthData{};
  if (!ReadSettingsFile(kSettingsFile, s)) WarnCannotOpen(kSettingsFile);
  if (g_schema_loader) g_schema_loader();
  std::string face = res.LookupIndexed(s.ov[kOptTextFont], "Shr").substr(0, kMaxFontFace);
  if (!face.empty()) s.text_font = face;
  s.startup.jd_ut = s.startup.jd_calc = s.startup.jd_local + s.startup.correction_h / 24.0;
}

bool SaveProgramSettings(const Settings& s) {
  if (WriteSettingsFile(kSettingsFile, s)) return true;
  WarnCannotOpen(kSettingsFile);
  return false;
}

}  // namespace kv
