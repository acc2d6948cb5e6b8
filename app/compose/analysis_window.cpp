// The analysis window of a chart: command 2003 of a chart window ("Анализ" in its
// context menu) opens a DAnk on a copy of that window's chart, in the main window's
// MDI client, with the text face, glyph colour and texts of the settings.
#include "app/compose/analysis_window.h"

#include <QColor>

#include "app/settings/program_settings.h"
#include "chart/record/chart_rules.h"
#include "chart/ui/dkart.h"
#include "chart/wheel/wheel_settings.h"
#include "chart/wheel/wheel_style.h"
#include "common/messages.h"
#include "common/settings.h"
#include "common/text_resources.h"
#include "common/ui/window_hooks.h"
#include "texts/analysis.h"
#include "texts/ui/dank.h"

namespace kv {

void OpenAnalysisWindow(DKart& kart) {
  // A planet without a position would be counted in Aries.
  for (int n = 1; n <= kAnalysedBodies; ++n)
    if (!PointComputed(kart.Chart(), n)) {
      WarningFormat("AnkNoP%s", AppLists().ph.At(static_cast<size_t>(n - 1)));
      return;
    }
  QMdiArea* client = MainClient();
  if (!client) return;
  const WheelSettings ws = WheelSettingsFrom(AppSettings());
  const ColourRef glyphs = ElementColour(kElemPlanetGlyphs, ws, false);
  DAnk::Look look;
  look.text_face = ws.text_face;
  look.glyph_colour = QColor(glyphs & 0xFF, (glyphs >> 8) & 0xFF, (glyphs >> 16) & 0xFF);
  look.no_houses_note = Resources().LookupList("AnkNoH").Items();
  look.print_dialog = AppSettings().Option(kOptPrintDialog);
  (new DAnk(kart.windowTitle(), kart.Chart(), std::move(look)))->ShowIn(client);
}

}  // namespace kv
