// The natal interpretation of a chart from the collection "kvinat", and the details
// of a sign, house or planet from the collection "zdp". Both print into a text that
// the caller puts into an output text file (output_file.h).
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "chart/record/chart_record.h"
#include "common/settings.h"
#include "common/text_resources.h"
#include "texts/text_store.h"

namespace kv {

// The settings the texts depend on, handed in by the caller.
struct InterpretationOptions {
  // "LP": [0] bodies whose sign texts are printed (bit n-1 for body n), [1] bit 0 the
  // Ascendant text and bit 1 the text of the fourth cusp, [2] bodies whose house
  // texts are printed.
  std::array<uint32_t, 3> lp{};
  bool justify = false;       // option byte 34
  int line_width = 72;        // "Lf"
  std::string natal_collection = "kvinat";  // item 0 of "INTER"
  std::string details_collection = "zdp";
  std::filesystem::path workdir = ".";
};

// The options of the settings of the moment: "LP", option byte 34, "Lf" and the
// collection named first in "INTER".
InterpretationOptions InterpretationOptionsFrom(const Settings& s, const TextResources& r);

// Body names from the text resources: item n-1 is body n (the list "P-H").
using BodyNames = std::vector<std::string>;

// Keys of the collections.
std::string SignKey(int sign);                    // "z05"
std::string HouseKey(int house);                  // "h05"
std::string PlanetKey(int body);                  // "p01"
std::string PlanetInSignKey(int body, int sign);  // "p01z05"
std::string PlanetInHouseKey(int body, int house);// "p01h05"
std::string BodyIntroKey(int body);               // "IP01"
std::string CuspInSignKey(int house, int sign);   // "h01z05"

// Both take the sex code from the chart's sex, so a woman's chart shows the women's
// parts of the texts.
//
// Prints the whole natal interpretation of `chart`: prefaces "0" and
// "000", then for each body 1..16 its sign text (after its introduction) and its
// house text under the heading " <name> в <h>-м доме", the Ascendant text after the
// Moon and the fourth cusp's text last, as "LP" selects them. A chart without houses
// gets only the prefaces and the sign texts. False, with nothing printed, when the
// collection does not open.
bool WriteNatalInterpretation(const ChartRecord& chart, const InterpretationOptions& options, const BodyNames& names,
                              std::string& out);

enum class DetailsKind { kSign, kHouse, kPlanet };

// Prints the details of a sign, house or planet (1-based number) in the plain style:
// its own text, and for a planet its text in the chart's sign, the heading
// "  <name> в <h>-м доме" and its text in that house; then 15 empty lines. A chart
// without houses, or a planet no house holds, gets no house heading or text. False
// when the collection does not open.
bool WriteDetails(const ChartRecord& chart, DetailsKind kind, int number,
                  const InterpretationOptions& options, const BodyNames& names,
                  std::string& out);

}  // namespace kv
