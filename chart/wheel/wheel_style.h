// Colours and pens of the chart picture, and the aspect lines the wheel draws.
// Colours are Windows RGB values 0x00BBGGRR, as the colour table and orb blocks keep them.
#pragma once

#include <cstdint>
#include <vector>

#include "aspects/aspect_finder.h"
#include "aspects/aspect_record.h"
#include "chart/wheel/wheel_settings.h"

namespace kv {

using ColourRef = uint32_t;
inline constexpr ColourRef kBlack = 0x000000, kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000,
                     kCyan = 0xFFFF00, kMagenta = 0xFF00FF, kWhite = 0xFFFFFF;

// Colour elements of the chart picture.
enum ColourElement : int {
  kElemLines = 0,
  kElemPlanetGlyphs = 1,
  kElemHouseNumbers = 2,
  kElemAngles = 3,
  kElemPanelText = 4,
  kElemFireFill = 5,   // earth 6, air 7, water 8
  kElemSignGlyphs = 9,
  kElemBackground = 10,
  kElemHouseRing = 12,
  kElemPlanetRing = 13,
  kElementCount = 15,
};

// Built-in colour of an element (white for 10..14 and anything unknown above 9).
ColourRef BuiltInColour(int element);
// The colour table's entry when it is 0 or more, else the built-in colour. With
// `mono_print` (printing on a black-and-white printer) 10 and 11 are white, the rest black.
ColourRef ElementColour(int element, const WheelSettings& ws, bool mono_print);

struct PenChoice {
  ColourRef colour = kBlack;
  int width = 1;
  bool operator==(const PenChoice&) const = default;
};
// The pen of the angular cusps (element 3, at least 3 wide) and the ordinary pen.
PenChoice AngularPen(const WheelSettings& ws, int pen_width, bool mono_print);
PenChoice OrdinaryPen(const WheelSettings& ws, int pen_width, bool mono_print);

// The pen of an aspect line: the first record with this exact angle decides colour
// (when 0 or more) and width (when wider than the pen width).
PenChoice AspectLinePen(float angle, const AspectTable& block, int pen_width, bool mono_print);

struct AspectLine {
  int a = 0, b = 0;
  float angle = 0;
};
// The chords the wheel draws: pairs of active points with an aspect other than a
// conjunction; cusps take part with option byte 13 when the chart has houses.
std::vector<AspectLine> SelectAspectLines(const AspectMatrix& matrix, const WheelSettings& ws,
                                          bool chart_has_houses);

// Fill element of sign or house sector n (1..12): fire, earth, air, water in turn.
inline int SectorFillElement(int n) { return kElemFireFill + (n - 1) % 4; }

// Grid step of the fills; 0 when nothing is filled.
int FillStep(const WheelSettings& ws, bool printing);

}  // namespace kv
