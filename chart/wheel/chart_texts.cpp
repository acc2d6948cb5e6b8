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
  return t;
}

}  // namespace kv
