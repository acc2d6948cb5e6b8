#include "chart/wheel/wheel_style.h"

#include <algorithm>

#include "aspects/aspect_edit.h"

namespace kv {

ColourRef BuiltInColour(int element) {
  static constexpr ColourRef kTable[10] = {kBlack, kMagenta, kBlack, kRed,  kBlack,
                                     kRed,   kGreen,   kCyan,  kBlue, kBlue};
  return element >= 0 && element < 10 ? kTable[element] : kWhite;
}

ColourRef ElementColour(int element, const WheelSettings& ws, bool mono_print) {
  if (mono_print) return element == 10 || element == 11 ? kWhite : kBlack;
  if (element >= 0 && element < static_cast<int>(ws.colours.size()) && ws.colours[element] >= 0)
    return static_cast<ColourRef>(ws.colours[element]) & 0xFFFFFFu;
  return BuiltInColour(element);
}

PenChoice AngularPen(const WheelSettings& ws, int pen_width, bool mono_print) {
  return {ElementColour(kElemAngles, ws, mono_print), pen_width < 3 ? 3 : pen_width};
}

PenChoice OrdinaryPen(const WheelSettings& ws, int pen_width, bool mono_print) {
  return {ElementColour(kElemLines, ws, mono_print), pen_width};
}

PenChoice AspectLinePen(float angle, const AspectTable& block, int pen_width, bool mono_print) {
  const AspectPen pen = AspectPenFor(block, angle, pen_width, mono_print);
  return {static_cast<ColourRef>(pen.colour) & 0xFFFFFFu, pen.width};
}

std::vector<AspectLine> SelectAspectLines(const AspectMatrix& matrix, const WheelSettings& ws,
                                          bool chart_has_houses) {
  AspectListOptions opt;
  opt.planet_mask = ws.planet_mask;
  opt.aspected_mask = ws.aspected_mask;
  opt.with_cusps = ws.Option(kOptCuspAspects) && chart_has_houses;
  opt.with_conjunctions = false;
  std::vector<AspectLine> lines;
  for (const FoundAspect& f : ListAspects(matrix, opt))
    if (f.angle != 0.0f && f.angle != kNoAspect) lines.push_back({f.a, f.b, f.angle});
  return lines;
}

int FillStep(const WheelSettings& ws, bool printing) {
  int level;
  if (printing) {
    if (ws.Option(kOptPrinterMono) || ws.Option(kOptPrinterLowMemory)) return 0;
    level = ws.ov[kOptPrintFill];
  } else {
    level = ws.ov[kOptScreenFill];
  }
  if (level == 0) return 0;
  const int step = printing ? (5 - level) * 2 : 4 - level;
  return std::max(1, step);
}

}  // namespace kv
