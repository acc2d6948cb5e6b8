#include "texts/interpretation.h"

#include "chart/record/chart_rules.h"
#include "common/codepage.h"
#include "texts/text_layout.h"

namespace kv {
namespace {

std::string TwoDigits(int n) {
  std::string s = std::to_string(n);
  return s.size() < 2 ? "0" + s : s;
}

const std::string& NameOf(const BodyNames& names, int body) {
  static const std::string none;
  return body >= 1 && static_cast<size_t>(body) <= names.size() ? names[body - 1] : none;
}

// "%s в %d-м доме" with the body's name and the house.
std::string HouseHeading(const BodyNames& names, int body, int house) {
  static const std::string in = W(" в "), suffix = W("-м доме");
  return NameOf(names, body) + in + std::to_string(house) + suffix;
}

bool Bit(uint32_t mask, int bit) { return (mask >> bit) & 1u; }

}  // namespace

std::string SignKey(int sign) { return "z" + TwoDigits(sign); }
std::string HouseKey(int house) { return "h" + TwoDigits(house); }
std::string PlanetKey(int body) { return "p" + TwoDigits(body); }
std::string PlanetInSignKey(int body, int sign) { return PlanetKey(body) + SignKey(sign); }
std::string PlanetInHouseKey(int body, int house) { return PlanetKey(body) + HouseKey(house); }
std::string BodyIntroKey(int body) { return "IP" + TwoDigits(body); }
std::string CuspInSignKey(int house, int sign) { return HouseKey(house) + SignKey(sign); }

bool WriteNatalInterpretation(const ChartRecord& chart, const InterpretationOptions& options,
                              const BodyNames& names, std::string& out) {
  TextCollection texts;
  if (!texts.Open(options.natal_collection, options.workdir)) return false;
  const SexCode sex = SexCodeOfChart(chart.sex);
  auto flowing = [&](const std::string& key) {
    PrintFlowing(texts.Fetch(key, sex), options.justify, options.line_width, out);
  };

  flowing("0");
  out.push_back('\n');
  const ChartSummary summary = SummarizeChart(chart);
  const bool houses = HasHouses(chart);
  flowing("000");
  for (int n = 1; n <= kBodyCount; ++n) {
    if (n == 3 && houses && Bit(options.lp[1], 0))
      flowing(CuspInSignKey(1, summary.cusp_sign[1]));
    if (Bit(options.lp[0], n - 1)) {
      flowing(BodyIntroKey(n));
      flowing(PlanetInSignKey(n, summary.body_sign[n]));
    }
    // House 0 only comes from cusps that hold no body (a record never calculated).
    if (houses && Bit(options.lp[2], n - 1) && summary.body_house[n] > 0) {
      // The heading stands even when the collection lacks the house text.
      out.push_back(' ');
      out += HouseHeading(names, n, summary.body_house[n]);
      out.push_back('\n');
      flowing(PlanetInHouseKey(n, summary.body_house[n]));
    }
  }
  if (houses && Bit(options.lp[1], 1)) flowing(CuspInSignKey(4, summary.cusp_sign[4]));
  return true;
}

bool WriteDetails(const ChartRecord& chart, DetailsKind kind, int number,
                  const InterpretationOptions& options, const BodyNames& names,
                  std::string& out) {
  TextCollection texts;
  if (!texts.Open(options.details_collection, options.workdir)) return false;
  const SexCode sex = SexCodeOfChart(chart.sex);
  auto plain = [&](const std::string& key) { PrintPlain(texts.Fetch(key, sex), options.justify, out); };

  switch (kind) {
    case DetailsKind::kSign: plain(SignKey(number)); break;
    case DetailsKind::kHouse: plain(HouseKey(number)); break;
    case DetailsKind::kPlanet:
      plain(PlanetKey(number));
      if (number >= 1 && number <= kBodyCount) {
        double lon = chart.lon[number];
        plain(PlanetInSignKey(number, SignOf(lon)));
        // Without a birth time, or outside every house, a house would be invented.
        int house = HasHouses(chart) ? HouseOf(chart, lon) : 0;
        if (house > 0) {
          out += "  " + HouseHeading(names, number, house) + "\n\n";
          plain(PlanetInHouseKey(number, house));
        }
      }
      break;
  }
  out.append(15, '\n');
  return true;
}

InterpretationOptions InterpretationOptionsFrom(const Settings& s, const TextResources& r) {
  InterpretationOptions o;
  for (size_t i = 0; i < o.lp.size(); ++i) o.lp[i] = static_cast<uint32_t>(s.lp[i]);
  o.justify = s.Option(kOptJustify);
  o.line_width = s.chars_per_line;
  o.natal_collection = r.LookupIndexed(0, "INTER");
  return o;
}

}  // namespace kv
