#include "aspects/ui/dao.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "aspects/aspect_edit.h"
#include "aspects/orb_block.h"
#include "common/messages.h"
#include "common/tokens.h"
#include "common/ui/qt_text.h"

namespace kv {
namespace {

// Labels of the orb fields, points 1..22.
constexpr const char* kOrbLabels[kDialogOrbs] = {
    "SUN", "MON", "MER", "VEN", "MRS", "JUP", "SAT", "URN", "NEP", "PLT", "NDE",
    "SEL", "HIR", "PRZ", "LIL", "SDE", "ASC", "H.2", "H.3", "H.4", "H.5", "H.6"};
constexpr int kOrbFieldChars = 6;
constexpr int kOrbRows = 11;

QIcon ColourIcon(int32_t rgb) {
  QPixmap pm(14, 14);
  pm.fill(ColourFromRgb(rgb));
  QPainter p(&pm);
  p.setPen(Qt::black);
  p.drawRect(0, 0, 13, 13);
  return QIcon(pm);
}

}  // namespace

DAO::DAO(QWidget* parent, std::string block, AspectDialogHooks hooks)
    : Dial(parent, kAspectDialogResource, kHelpCorrOrb, kDialButtonsRow),
      block_(std::move(block)),
      hooks_(std::move(hooks)),
      table_(LoadAspectTable(block_, true)) {
  setWindowTitle(FromCp1251(block_));
  BuildLayout();
  FillList();
  if (!table_.empty()) {
    list_->setCurrentRow(0);
    ShowSelected(true);
  } else {
    ShowSelected(false);
  }
}

void DAO::BuildLayout() {
  list_ = new QListWidget(this);
  RegisterControl(kIdAspectList, list_);
  list_->setMinimumWidth(210);
  connect(list_, &QListWidget::currentRowChanged, this, [this] { ShowSelected(false); });

  auto* orbs_box = new QGroupBox(QString::fromUtf8("Орбисы аспекта"), this);
  auto* orbs_layout = new QVBoxLayout(orbs_box);
  angle_ = new QLabel(orbs_box);
  RegisterControl(kIdAspectAngle, angle_);
  QFont bold = angle_->font();
  bold.setBold(true);
  angle_->setFont(bold);
  orbs_layout->addWidget(angle_);
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(8);
  grid->setVerticalSpacing(3);
  const int field_width = fontMetrics().horizontalAdvance(QString(kOrbFieldChars + 1, QChar('0'))) + 12;
  for (int i = 0; i < kDialogOrbs; ++i) {
    QLineEdit* e = AddEdit(kIdFirstOrbField + i, kOrbFieldChars);
    e->setFixedWidth(field_width);
    orb_fields_[i] = e;
    const int row = i % kOrbRows, col = 2 * (i / kOrbRows);
    grid->addWidget(new QLabel(QString::fromLatin1(kOrbLabels[i]), orbs_box), row, col);
    grid->addWidget(e, row, col + 1);
  }
  // The orb of cusp 6 is shown but never stored or written.
  QLineEdit* cusp6 = orb_fields_[kDialogOrbs - 1];
  cusp6->setReadOnly(true);
  cusp6->setFocusPolicy(Qt::NoFocus);
  QPalette pal = cusp6->palette();
  pal.setColor(QPalette::Base, pal.color(QPalette::Window));
  cusp6->setPalette(pal);
  orbs_layout->addLayout(grid);

  auto* kind_row = new QHBoxLayout;
  kind_row->addWidget(new QLabel(QString::fromUtf8("Вид линии"), orbs_box));
  line_kind_ = new QComboBox(orbs_box);
  RegisterControl(kIdLineKind, line_kind_);
  for (const std::string& item : Split(Text("TL"), '/')) line_kind_->addItem(FromCp1251(item));
  kind_row->addWidget(line_kind_, 1);
  orbs_layout->addLayout(kind_row);
  connect(line_kind_, &QComboBox::activated, this, [this](int kind) { LineKindChosen(kind); });

  auto* buttons = new QVBoxLayout;
  buttons->addWidget(AddButton(kCmdStoreOrbs, QString::fromUtf8("Запомнить Орбисы")));
  buttons->addWidget(AddButton(kCmdNewAspect, QString::fromUtf8("Новый Аспект")));
  buttons->addWidget(AddButton(kCmdDeleteAspect, QString::fromUtf8("Удалить Аспект")));
  buttons->addWidget(AddButton(kCmdToggleAspect, QString::fromUtf8("Вкл/Откл")));
  buttons->addWidget(AddButton(kCmdAspectColour, QString::fromUtf8("Цвет аспекта")));
  buttons->addStretch(1);

  auto* top = new QVBoxLayout(this);
  top->setContentsMargins(14, 12, 14, 10);
  auto* body = new QHBoxLayout;
  body->addWidget(list_, 1);
  body->addWidget(orbs_box);
  body->addLayout(buttons);
  top->addLayout(body, 1);
  top->addWidget(ButtonBox());
}

void DAO::FillList() {
  list_->clear();
  for (const AspectRecord& rec : table_) {
    auto* item = new QListWidgetItem(ColourIcon(WheelColour(rec)), FromCp1251(AspectLabel(rec)));
    list_->addItem(item);
  }
}

int DAO::Selected() const {
  const int row = list_->currentRow();
  return row >= 0 && row < static_cast<int>(table_.size()) ? row : -1;
}

void DAO::Select(int index) { list_->setCurrentRow(index); }

void DAO::ShowSelected(bool on_opening) {
  const int sel = Selected();
  const bool any = sel >= 0;
  for (QLineEdit* e : orb_fields_) e->setEnabled(any);
  line_kind_->setEnabled(any);
  if (!any) {
    angle_->clear();
    for (QLineEdit* e : orb_fields_) e->clear();
    line_kind_->setCurrentIndex(-1);
  } else {
    const AspectFields f = ShowAspect(table_[sel], on_opening);
    angle_->setText(FromCp1251(f.angle));
    for (int i = 0; i < kDialogOrbs; ++i) orb_fields_[i]->setText(FromCp1251(f.orbs[i]));
    line_kind_->setCurrentIndex(f.line_kind < line_kind_->count() ? f.line_kind : -1);
  }
  for (int i = 0; i < kDialogOrbs; ++i) shown_orbs_[i] = orb_fields_[i]->text();
}

bool DAO::OrbFieldsTyped() const {
  for (int i = 0; i < kDialogOrbs; ++i)
    if (orb_fields_[i]->text() != shown_orbs_[i]) return true;
  return false;
}

void DAO::RelabelSelected() {
  const int sel = Selected();
  if (sel < 0) return;
  QListWidgetItem* item = list_->item(sel);
  item->setText(FromCp1251(AspectLabel(table_[sel])));
  item->setIcon(ColourIcon(WheelColour(table_[sel])));
}

void DAO::Command(int id) {
  switch (id) {
    case kCmdStoreOrbs:
      StoreOrbFields();
      break;
    case kCmdNewAspect:
      AddAspect();
      break;
    case kCmdDeleteAspect:
      DeleteSelected();
      break;
    case kCmdToggleAspect:
      ToggleAspect(table_, Selected());
      RelabelSelected();
      break;
    case kCmdAspectColour:
      ChooseColourOfSelected();
      break;
    default:
      Dial::Command(id);
  }
}

bool DAO::StoreOrbFields() {
  const int sel = Selected();
  if (sel < 0) return true;
  std::array<std::string, kDialogOrbs> fields;
  for (int i = 0; i < kDialogOrbs; ++i) fields[i] = ToCp1251(orb_fields_[i]->text());
  const int bad = FirstBadOrbField(fields);
  if (bad >= 0) {
    WarningFormat("ChkOrb%s", kOrbLabels[bad]);
    orb_fields_[bad]->setFocus();
    orb_fields_[bad]->selectAll();
    return false;
  }
  StoreOrbs(table_[sel], fields);
  ShowSelected(false);
  return true;
}

void DAO::AddAspect() {
  if (!hooks_.ask_text) return;
  const std::optional<std::string> text = hooks_.ask_text(
      this, {QString::fromUtf8("Новый Аспект"), QString::fromUtf8("Аспект (Орбис)"), kHelpNewAsp, 40});
  if (!text || NewAspect(table_, *text) != NewAspectStatus::kAdded) return;
  const AspectRecord& rec = table_.back();
  list_->addItem(new QListWidgetItem(ColourIcon(WheelColour(rec)), FromCp1251(AspectLabel(rec))));
  list_->setCurrentRow(list_->count() - 1);
}

void DAO::DeleteSelected() {
  const int sel = Selected();
  if (sel < 0) return;
  const int next = DeleteAspect(table_, sel);
  // The row goes without a selection change in between, then the new one is shown.
  {
    const QSignalBlocker quiet(list_);
    delete list_->takeItem(sel);
    list_->setCurrentRow(next);
  }
  ShowSelected(false);
}

void DAO::ChooseColourOfSelected() {
  const int sel = Selected();
  if (sel < 0 || !hooks_.pick_colour) return;
  const std::optional<int32_t> chosen = hooks_.pick_colour(this, WheelColour(table_[sel]));
  if (!chosen) return;
  SetAspectColour(table_, sel, *chosen);
  RelabelSelected();
}

void DAO::LineKindChosen(int kind) {
  SetAspectLineKind(table_, Selected(), kind);
  RelabelSelected();
}

bool DAO::CanClose() {
  // Orbs typed and not yet stored would be lost without a word: OK takes them, and an
  // untouched aspect is written as it was read.
  if (OrbFieldsTyped() && !StoreOrbFields()) return false;
  if (!SaveAspectTable(block_, table_).ok()) return false;
  if (hooks_.blocks_changed) hooks_.blocks_changed();
  return true;
}

}  // namespace kv
