// The words a chart picture and its panels show. The caller looks them up once in the
// text resources and hands them to the panels and the painter, as it hands them the
// settings (WheelSettings): the chart code reads no text-resource global.
#pragma once

#include <string>

#include "common/text_list.h"
#include "common/text_resources.h"

namespace kv {

struct ChartTexts {
  TextList house_systems;    // "HOUS": names of the house systems, marked "[n]"
  TextList signs;            // "ZOD": the 12 sign names
  TextList points;           // "P-H": 31 names: 16 bodies, 12 houses, 3 further points
  TextList page_heading;     // "G": heading of the printed page
  TextList legend_heading;   // "IPA": heading of the printed page with the legend
  std::string no_data;       // "NoDat": in place of a point without a position
  std::string no_lunar_day;  // "LunNoDat": the lunar day could not be found
  // Tooltips of the wheel.
  std::string hover_house;       // "HovH%d": the house of a body
  std::string hover_speed;       // "HovSp%s": the daily motion
  std::string hover_retrograde;  // "HovR"
  std::string hover_direct;      // "HovD"

  // Name of house system n as the text resources give it ("" when there is none).
  std::string HouseSystemName(int n) const { return IndexedItem(house_systems, n); }
};

// The texts of `res` (keys themselves when it holds no file, as every lookup does).
ChartTexts ChartTextsFrom(const TextResources& res);

}  // namespace kv
