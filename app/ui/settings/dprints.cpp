#include "app/ui/settings/dprints.h"

#include <QGridLayout>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/settings_choices.h"
#include "common/ui/page_layout.h"
#include "common/ui/window_hooks.h"

namespace kv {

DPrintS::DPrintS(QWidget* parent, Settings& s)
    : SettingsDial(parent, kPrinterSettingsResource, kHelpDPrintS, kDialButtonsRow), s_(s) {
  setWindowTitle(QString::fromUtf8("Настройка принтера"));
  auto* checks = new QVBoxLayout;
  checks->setSpacing(3);
  checks->addWidget(AddCheck(kIdPrintDialogFirst, QString::fromUtf8("Диалог перед печатью")));
  checks->addWidget(AddCheck(kIdPrinterMono, QString::fromUtf8("Принтер черно-белый")));
  checks->addWidget(AddCheck(kIdPrinterLowMemory, QString::fromUtf8("У принтера мало памяти")));
  checks->addWidget(AddCheck(kIdPrintLegend, QString::fromUtf8("Выводить при печати символику")));
  fill_ = AddRadioGroup(kIdPrintFillGroup, "Заливка знаков зодиака", kIdFirstPrintFill,
                        {"Без заливки", "Минимальная", "Блеклая", "Размытая", "Плотная"});
  line_width_ = AddRadioGroup(kIdLineWidthGroup, "Толщина линий", kIdFirstLineWidth,
                              {"Тонкие", "Средние", "Толстые", "Очень Толстые"});

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(12);
  grid->addLayout(checks, 0, 0, 1, 2);
  grid->addWidget(fill_->Box(), 1, 0);
  grid->addWidget(line_width_->Box(), 1, 1, Qt::AlignTop);
  auto* top = new QVBoxLayout(this);
  top->setContentsMargins(14, 12, 14, 10);
  top->addLayout(grid);
  top->addWidget(AddButton(kCmdPageLayout, QString::fromUtf8("Макет страницы")), 0, Qt::AlignLeft);
  top->addWidget(ButtonBox());

  const PrinterChoice c = PrinterChoiceFrom(s_);
  Check(kIdPrintDialogFirst)->setChecked(c.dialog_first);
  Check(kIdPrinterMono)->setChecked(c.mono);
  Check(kIdPrinterLowMemory)->setChecked(c.low_memory);
  Check(kIdPrintLegend)->setChecked(c.legend);
  fill_->SetIndex(c.fill);
  line_width_->SetIndex(c.line_width);
}

void DPrintS::Command(int id) {
  if (id == kCmdPageLayout) PageLayout();
  else Dial::Command(id);
}

void DPrintS::PageLayout() {
  QPrinter printer;
  ApplyProgramPageLayout(printer);
  QPageSetupDialog dialog(&printer, this);
  if (dialog.exec() == QDialog::Accepted) ProgramPageLayout() = printer.pageLayout();
}

bool DPrintS::CanClose() {
  PrinterChoice c;
  c.dialog_first = Check(kIdPrintDialogFirst)->isChecked();
  c.mono = Check(kIdPrinterMono)->isChecked();
  c.low_memory = Check(kIdPrinterLowMemory)->isChecked();
  c.legend = Check(kIdPrintLegend)->isChecked();
  c.fill = fill_->Index();
  c.line_width = line_width_->Index();
  ApplyPrinterChoice(c, s_);
  NotifySettingsChanged();  // open charts read these option bytes too
  return true;
}

}  // namespace kv
