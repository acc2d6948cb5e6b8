// What the chart window (DKart) asks of the rest of the program. The program fills
// these hooks when it composes itself (app/compose/compose.cpp): the subsystems that
// carry out a chart's commands sit above the chart layer, so the window names only the
// hook. An unset command hook leaves the command to DChild (nothing happens); an unset
// click hook shows no details.
#pragma once

#include <functional>

#include "chart/wheel/chart_texts.h"
#include "chart/wheel/wheel_geometry.h"
#include "chart/wheel/wheel_settings.h"

namespace kv {

class DKart;

inline constexpr int kCmdAnalysis = 2003;
inline constexpr int kCmdStoreCard = 2013;
inline constexpr int kCmdInterpretation = 2016;

struct ChartWindowHooks {
  // Commands of the context menu "K0t1" that other subsystems carry out.
  std::function<void(DKart&)> analysis;        // 2003: the analysis window
  std::function<void(DKart&)> store_card;      // 2013: the chart's card into the person database
  std::function<void(DKart&)> interpretation;  // 2016: the natal interpretation
  // A click on the wheel: the description of the sign, house or body that was hit.
  std::function<void(DKart&, WheelHit hit)> details;

  // The settings the window paints and prints with, asked at every paint (so a
  // repaint after the settings changed shows them); the built-in settings when unset.
  std::function<WheelSettings()> wheel_settings;
  // The words of the picture, from the text resources.
  ChartTexts texts;
};

// Installs the hooks of every chart window; returns the ones replaced.
ChartWindowHooks SetChartWindowHooks(ChartWindowHooks hooks);
const ChartWindowHooks& ChartWindowHooksNow();

}  // namespace kv
