#include "chart/wheel/chart_texts.h"

namespace kv {

ChartTexts ChartTextsFrom(const TextResources& res) {
  ChartTexts t;
  t.house_systems = res.LookupList("HOUS");
  t.signs = res.LookupList("ZOD");
  t.points = res.LookupList("P-H");
  t.page_heading = res.LookupList("G");
  t.legend_heading = res.LookupList("IPA");
  t.no_data = res.Lookup("NoDat");
  t.no_lunar_day = res.Lookup("LunNoDat");
  t.hover_house = res.Lookup("HovH%d");
  t.hover_speed = res.Lookup("HovSp%s");
  t.hover_retrograde = res.Lookup("HovR");
  t.hover_direct = res.Lookup("HovD");
  return t;
}

}  // namespace kv
