#include "aspects/ui/dlo.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "aspects/orb_block.h"
#include "aspects/ui/dao.h"
#include "common/messages.h"
#include "common/tokens.h"
#include "common/ui/qt_text.h"

namespace kv {

DLO::DLO(QWidget* parent, std::string& orb_file, AspectDialogHooks hooks)
    : Dial(parent, kOrbBlocksDialogResource, kHelpOrbis, 0),
      orb_file_(orb_file),
      hooks_(std::move(hooks)) {
  setWindowTitle(QString::fromUtf8("Блоки аспектов и орбисов"));
  BuildLayout();
  FillList(orb_file_);
  ShowCurrent();
}

void DLO::BuildLayout() {
  list_ = new QListWidget(this);
  RegisterControl(kIdBlockList, list_);
  list_->setMinimumSize(200, 220);
  // A double click edits the block, the way the list's main action is reached.
  connect(list_, &QListWidget::itemDoubleClicked, this, [this] { Command(kCmdEditBlock); });

  current_ = new QLabel(this);
  RegisterControl(kIdCurrentBlock, current_);
  QFont bold = current_->font();
  bold.setBold(true);
  current_->setFont(bold);

  // Every operation acts at once, so there is nothing to cancel: OK and Help only,
  // labelled as the common buttons are ("OCH": OK, Cancel, Help).
  const std::vector<std::string> labels = Split(Text("OCH"), '/');
  auto label = [&labels](size_t i, const char* fallback) {
    return i < labels.size() ? FromCp1251(labels[i]) : QString::fromLatin1(fallback);
  };
  QPushButton* ok = AddButton(kCmdOk, label(0, "OK"));
  ok->setDefault(true);
  QPushButton* help = AddButton(kCmdHelp, label(2, "Help"));

  auto* side = new QVBoxLayout;
  side->addWidget(new QLabel(QString::fromUtf8("Текущий блок:"), this));
  side->addWidget(current_);
  side->addSpacing(8);
  side->addWidget(AddButton(kCmdSelectBlock, QString::fromUtf8("Выбрать в качестве текущего")));
  side->addWidget(AddButton(kCmdEditBlock, QString::fromUtf8("Корректировка")));
  side->addWidget(AddButton(kCmdNewBlock, QString::fromUtf8("Новый")));
  side->addWidget(AddButton(kCmdDeleteBlock, QString::fromUtf8("Удаление")));
  side->addStretch(1);
  side->addWidget(ok);
  side->addWidget(help);

  auto* top = new QHBoxLayout(this);
  top->setContentsMargins(14, 12, 14, 10);
  top->setSpacing(12);
  top->addWidget(list_, 1);
  top->addLayout(side);
}

void DLO::FillList(const std::string& select) {
  list_->clear();
  for (const std::string& name : ListBlocks()) list_->addItem(FromCp1251(name));
  if (!SelectBlock(select) && list_->count() > 0) list_->setCurrentRow(0);
}

std::vector<std::string> DLO::Blocks() const {
  std::vector<std::string> names;
  for (int i = 0; i < list_->count(); ++i) names.push_back(ToCp1251(list_->item(i)->text()));
  return names;
}

bool DLO::SelectBlock(const std::string& name) {
  const auto items = list_->findItems(FromCp1251(name), Qt::MatchExactly);
  if (items.isEmpty()) return false;
  list_->setCurrentItem(items.front());
  return true;
}

std::string DLO::SelectedBlock() const {
  const QListWidgetItem* item = list_->currentItem();
  return item ? ToCp1251(item->text()) : std::string();
}

void DLO::ShowCurrent() { current_->setText(FromCp1251(orb_file_)); }

void DLO::Changed() {
  if (hooks_.blocks_changed) hooks_.blocks_changed();
}

void DLO::Command(int id) {
  const std::string chosen = SelectedBlock();
  switch (id) {
    case kCmdSelectBlock:
      if (chosen.empty()) return;
      orb_file_ = CurrentBlockSetting(chosen);
      ShowCurrent();
      Changed();
      break;
    case kCmdEditBlock:
      if (!chosen.empty()) {
        DAO aspects(this, chosen, hooks_);
        RunDialog(aspects);
      }
      break;
    case kCmdNewBlock:
      NewBlockAsked();
      break;
    case kCmdDeleteBlock:
      DeleteSelected();
      break;
    default:
      Dial::Command(id);
  }
}

void DLO::NewBlockAsked() {
  if (!hooks_.ask_text) return;
  const std::optional<std::string> answer =
      hooks_.ask_text(this, {QString::fromUtf8("Файл орбисов"),
                             QString::fromUtf8("Введи имя нового файла орбисов"), kHelpNewOrbA,
                             static_cast<int>(kMaxNewBlockChars)});
  if (!answer) return;
  const NewBlockResult made = NewBlock(*answer, orb_file_);
  if (!made.status.ok()) return;
  FillList(made.file_name);
  Changed();
}

void DLO::DeleteSelected() {
  const int row = list_->currentRow();
  const std::string chosen = SelectedBlock();
  if (chosen.empty() || !DeleteBlock(chosen).ok()) return;
  delete list_->takeItem(row);
  list_->setCurrentRow(std::min(row, list_->count() - 1));
  Changed();
}

}  // namespace kv
