#include "texts/ui/chart_texts.h"

#include <QListWidget>
#include <QMdiArea>
#include <QVBoxLayout>

#include "common/messages.h"
#include "common/ui/qt_text.h"
#include "common/ui/window_hooks.h"
#include "texts/interpretation.h"
#include "texts/output_file.h"
#include "texts/reference_texts.h"
#include "texts/ui/text_services.h"
#include "texts/ui/text_windows.h"

namespace kv {
namespace {

std::string Item(std::string_view key, int number) {
  const std::vector<std::string> items = ResourceList(key);
  return number >= 1 && static_cast<size_t>(number) <= items.size() ? items[static_cast<size_t>(number - 1)]
                                                                   : std::string();
}

}  // namespace

DChartChoice::DChartChoice(QWidget* parent, const std::vector<DKart*>& charts)
    : Dial(parent, kChartChoiceResource, kHelpVibKart, kDialButtonsRow | kDialListBox),
      charts_(charts) {
  setWindowTitle(QString::fromUtf8("Выбор Карты"));
  for (DKart* k : charts_) List()->addItem(k->windowTitle());
  List()->setCurrentRow(0);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(List(), 1);
  layout->addWidget(ButtonBox());
  resize(420, 320);
}

QListWidget* DChartChoice::List() const { return ControlAs<QListWidget>(kIdListBox); }

DKart* DChartChoice::Chosen() const {
  const int row = List()->currentRow();
  return row >= 0 && static_cast<size_t>(row) < charts_.size() ? charts_[static_cast<size_t>(row)]
                                                               : nullptr;
}

DKart* SelectChart(QWidget* owner) {
  std::vector<DKart*> charts;
  for (const auto& [number, kart] : OpenCharts()) charts.push_back(kart);
  if (charts.empty()) return nullptr;
  if (charts.size() == 1) return charts.front();
  DChartChoice dialog(owner, charts);
  DKart* chosen = RunDialog(dialog) == kCmdOk ? dialog.Chosen() : nullptr;
  if (QMdiArea* area = MainClient()) area->setFocus();
  return chosen;
}

void InterpretationCommand(QWidget* owner) {
  DKart* kart = SelectChart(owner);
  if (!kart) {
    // Several charts and Cancel: nothing; none at all: say so.
    if (OpenCharts().empty()) WarningKey("NoKr");
    return;
  }
  OpenNatalInterpretation(kart->Chart(), kart->windowTitle());
}

DText* OpenNatalInterpretation(const ChartRecord& chart, const QString& chart_title) {
  std::string body;
  if (!WriteNatalInterpretation(chart, CurrentInterpretationOptions(), ResourceList("P-H"), body))
    return nullptr;
  const std::optional<std::filesystem::path> file =
      WriteOutputTextFile(Services().workdir, NatalTitle(chart), body);
  if (!file) return nullptr;
  return OpenTextWindow(*file, FromCp1251(FormatKey("IntWin", ToCp1251(chart_title).c_str())));
}

EText* OpenDetails(const ChartRecord& chart, const WheelHit& hit) {
  DetailsKind kind;
  std::string title;
  switch (hit.kind) {
    case HitKind::kSign: kind = DetailsKind::kSign; title = Item("ZOD", hit.number); break;
    case HitKind::kHouse: kind = DetailsKind::kHouse; title = Item("HOM", hit.number); break;
    case HitKind::kBody: kind = DetailsKind::kPlanet; title = Item("P-H", hit.number); break;
    default: return nullptr;
  }
  std::string body;
  if (!WriteDetails(chart, kind, hit.number, CurrentInterpretationOptions(), ResourceList("P-H"), body))
    return nullptr;
  const std::optional<std::filesystem::path> file = WriteOutputTextFile(Services().workdir, "", body);
  if (!file) return nullptr;
  return OpenFreeTextWindow(*file, FromCp1251(title));
}

}  // namespace kv
