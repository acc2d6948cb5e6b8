// The time-zone table ("popa.ctl") on arbitrary text, and the corrections it gives:
// every zone code and every section the text names is tried as a town's zone and
// summer-time rule on dates across the table's centuries.
#include <cstdint>
#include <string>
#include <vector>

#include "common/fuzz/fuzz_support.h"
#include "common/numbers.h"
#include "common/tokens.h"
#include "towns/town_record.h"
#include "towns/zone_correction.h"
#include "towns/zone_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  namespace fuzz = kv::fuzz;
  fuzz::Quiet();
  const std::string_view text = fuzz::AsText(data, size);
  kv::towns::ZoneTable table;
  table.LoadText(text);

  std::vector<std::string> codes = {"336"}, rules = {""};
  size_t pos = 0;
  while (pos < text.size() && codes.size() < 6) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    const bool header = line.substr(0, 2) == "@@";
    const std::vector<std::string> words = kv::Tokens(header ? line.substr(2) : line);
    if (words.empty()) continue;
    if (header) {
      if (rules.size() < 3) rules.push_back(words[0]);
    } else {
      codes.push_back(words[0]);
    }
  }
  // Few enough codes, rules and dates that a slow sanitizer build stays far below the
  // fuzzer's 1 s per input: each correction reads its lines anew.
  const double dates[] = {2378499.0, 2421504.75, 2448000.5, 2460676.5};
  kv::db::FieldArray town;
  town[kv::towns::kFieldLongitude] = "37.37";
  for (const std::string& code : codes)
    for (const std::string& rule : rules) {
      town[kv::towns::kFieldZoneCode] = code;
      town[kv::towns::kFieldSummerRule] = rule;
      for (double jd : dates) {
        (void)kv::towns::ZoneCorrection(jd, town, true, table);
        (void)kv::towns::ClocksChangedOn(jd, town, table);
      }
    }
  return 0;
}
