#include "db/ui/dbasa.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "common/messages.h"
#include "common/tokens.h"
#include "common/ui/qt_text.h"
#include "db/ui/card_fields.h"
#include "db/ui/catalogue_model.h"
#include "db/ui/dcorr.h"

namespace kv {

DatabaseHooks DefaultDatabaseHooks() {
  DatabaseHooks h;
  h.run_dialog = [](Dial& d) { return RunDialog(d); };
  h.confirm = [](QWidget* parent, const std::string& question) {
    QMessageBox box(QMessageBox::Question, TextQ("DBasa"), FromCp1251(question),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.button(QMessageBox::Yes)->setText(QString::fromUtf8("&Да"));
    box.button(QMessageBox::No)->setText(QString::fromUtf8("&Нет"));
    box.setDefaultButton(QMessageBox::No);  // Enter keeps the card
    return box.exec() == QMessageBox::Yes;
  };
  h.inform = [](QWidget* parent, const std::string& text) {
    QMessageBox box(QMessageBox::Information, TextQ("DBasa"), FromCp1251(text), QMessageBox::Ok,
                    parent);
    box.exec();
  };
  h.choose_file = [](QWidget* parent) {
    return QFileDialog::getOpenFileName(parent, TextQ("DBasa"), QString(),
                                        QString::fromUtf8("Базы данных (*.bod)"));
  };
  return h;
}

void ReportCardOutcome(cards::Outcome outcome, const std::string& database) {
  switch (outcome) {
    case cards::Outcome::kCannotOpen:
      WarningFormat("NoB%s", database);
      break;
    case cards::Outcome::kTooLarge:
      WarningKey("CrdBig");
      break;
    case cards::Outcome::kNotFound:
      WarningFormat("CrdNF%s", database);
      break;
    case cards::Outcome::kFailed:
      WarningFormat("CrdNW%s", database);
      break;
    default:  // done, or the store or the script has said why
      break;
  }
}

CatalogueView::CatalogueView(QWidget* parent) : QListView(parent) {
  // One height for all lines: the view never measures 100,000 rows.
  setUniformItemSizes(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void CatalogueView::keyboardSearch(const QString& text) {
  const bool fresh =
      !since_last_.isValid() || since_last_.elapsed() >= QApplication::keyboardInputInterval();
  if (fresh) {
    typed_.clear();
    if (text.trimmed().isEmpty()) return;  // a name never begins with a blank
  }
  typed_ += text;
  since_last_.restart();
  Search();
}

void CatalogueView::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Backspace && !typed_.isEmpty()) {
    typed_.chop(1);
    since_last_.restart();
    Search();
    return;
  }
  QListView::keyPressEvent(e);
}

void CatalogueView::Search() {
  auto* m = qobject_cast<CatalogueModel*>(model());
  if (!m) return;
  if (typed_.isEmpty()) {
    emit SearchChanged(typed_, true);
    return;
  }
  const int row = m->FindPrefix(ToCp1251(typed_));
  if (row >= 0) {
    const QModelIndex index = m->index(row);
    setCurrentIndex(index);
    scrollTo(index, QAbstractItemView::PositionAtCenter);
  }
  emit SearchChanged(typed_, row >= 0);
}

DBasa::DBasa(QWidget* parent, DatabaseSession& session, cards::Catalogue catalogue, bool picking)
    : Dial(parent, kCatalogueResource, picking ? kHelpCatalogue : kHelpCatalogueMenu,
           kDialButtonsColumn),
      session_(session),
      picking_(picking),
      read_only_(catalogue.damaged) {
  setWindowTitle(FromCp1251(FormatKey("DBasaC", session_.name)));
  model_ = new CatalogueModel(std::move(catalogue.rows), this);
  // A damaged database has shown its message once: its lines stay names, unread.
  if (!read_only_)
    model_->SetRowReader([this](const std::vector<cards::CatalogueRow*>& rows) {
      return cards::CompleteRows(session_.name, rows);
    });
  connect(model_, &CatalogueModel::ReadingStopped, this, [this](cards::Outcome why) {
    // The damage message has been shown; a file gone since the listing is named here.
    ReportCardOutcome(why, session_.name);
    SetReadOnly();
  });
  BuildLayout();
  // The lines around the remembered one are read before the first paint.
  model_->ReadRows(session_.remembered_line - 40, session_.remembered_line + 40);
  SelectRow(session_.remembered_line);
  if (read_only_) SetReadOnly();
}

void DBasa::SetReadOnly() {
  read_only_ = true;
  for (int id : {kCmdCorrectCard, kCmdDeleteCard, kCmdNewCard})
    if (QWidget* b = Control(id)) b->setEnabled(false);
  ShowStatus({}, true);
}

DBasa::~DBasa() = default;

void DBasa::BuildLayout() {
  list_ = new CatalogueView(this);
  list_->setModel(model_);
  RegisterControl(kIdCatalogueList, list_);
  connect(list_, &QListView::doubleClicked, this,
          [this] { Command(picking_ ? kCmdOk : kCmdCorrectCard); });
  status_ = new QLabel(this);
  connect(list_, &CatalogueView::SearchChanged, this, &DBasa::ShowStatus);
  connect(model_, &QAbstractItemModel::rowsInserted, this, [this] { ShowStatus({}, true); });
  connect(model_, &QAbstractItemModel::rowsRemoved, this, [this] { ShowStatus({}, true); });

  auto* top = new QHBoxLayout(this);
  top->setContentsMargins(12, 12, 12, 10);
  top->setSpacing(12);
  auto* left = new QVBoxLayout;
  left->addWidget(list_, 1);
  left->addWidget(status_);
  top->addLayout(left, 1);

  // The three card buttons line up with OK, Cancel and Help, which the box places
  // across 0.8 of its width from 0.1 on.
  std::vector<QPushButton*> card_buttons;
  int width = 0;
  for (auto [id, text] : {std::pair{kCmdCorrectCard, "&Корректировать"},
                          std::pair{kCmdDeleteCard, "&Удалить"}, std::pair{kCmdNewCard, "&Новая"}}) {
    card_buttons.push_back(AddButton(id, QString::fromUtf8(text)));
    width = std::max(width, card_buttons.back()->sizeHint().width() + 12);
  }
  const int box_width = static_cast<int>(width / 0.8) + 1;
  ButtonBox()->setFixedWidth(box_width);
  auto* right = new QVBoxLayout;
  right->addWidget(ButtonBox());
  right->addSpacing(16);
  for (QPushButton* b : card_buttons) {
    b->setFixedWidth(static_cast<int>(0.8 * box_width));
    right->addWidget(b, 0, Qt::AlignHCenter);
  }
  right->addStretch(1);
  top->addLayout(right);

  ShowStatus({}, true);
  list_->setFocus();
  resize(680, 480);
}

void DBasa::ShowStatus(const QString& typed, bool found) {
  std::string text;
  if (typed.isEmpty()) {
    text = FormatKey("CatCnt%d", model_->size());
    if (read_only_) text += "  " + Text("BdRO");
  } else {
    text = FormatKey(found ? "CatFnd%s" : "CatNo%s", ToCp1251(typed));
  }
  status_->setText(FromCp1251(text));
}

int DBasa::CurrentRow() const {
  const QModelIndex current = list_->currentIndex();
  if (!current.isValid() || !list_->selectionModel()->isSelected(current)) return -1;
  return current.row();
}

void DBasa::SelectRow(int row) {
  if (row < 0 || row >= model_->size()) {
    list_->selectionModel()->clear();
    list_->setCurrentIndex(QModelIndex());
    return;
  }
  const QModelIndex index = model_->index(row);
  list_->setCurrentIndex(index);
  list_->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
  list_->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void DBasa::Command(int id) {
  switch (id) {
    case kCmdCorrectCard:
      if (!read_only_) EditCard(false);
      break;
    case kCmdNewCard:
      if (!read_only_) EditCard(true);
      break;
    case kCmdDeleteCard:
      if (!read_only_) DeleteCard();
      break;
    default:
      Dial::Command(id);
  }
}

bool DBasa::CanClose() {
  if (picking_) {
    const int row = CurrentRow();
    if (row >= 0) {
      picked_ = model_->Row(row).key;
      session_.remembered_line = row;
    }
  }
  return true;
}

void DBasa::EditCard(bool new_card) {
  const std::string& database = session_.name;
  int row = -1;
  db::FieldArray card;
  std::string key;
  if (!new_card) {
    row = CurrentRow();
    if (row < 0) return;
    session_.remembered_line = row;
    key = model_->Row(row).key;
    const cards::Outcome read = cards::ReadCard(database, key, card);
    if (read != cards::Outcome::kDone) {
      ReportCardOutcome(read, database);
      return;
    }
  }
  DCorr dialog(this, card, [&](db::FieldArray& fields) {
    const cards::Outcome written = new_card ? cards::AddCard(database, fields, &key)
                                            : cards::RewriteCard(database, key, fields);
    ReportCardOutcome(written, database);
    return written == cards::Outcome::kDone;
  });
  if (session_.hooks.run_dialog(dialog) != kCmdOk) return;
  cards::CatalogueRow line = cards::RowOfCard(key, dialog.Card());
  if (new_card) session_.remembered_line = model_->Append(std::move(line));
  else model_->Replace(row, std::move(line));
  SelectRow(session_.remembered_line);
}

void DBasa::DeleteCard() {
  const int row = CurrentRow();
  if (row < 0) return;
  const cards::CatalogueRow& line = model_->Row(row);
  const std::string shown = TrimRight(line.name).empty() ? line.key : TrimRight(line.name);
  if (!session_.hooks.confirm(this, FormatKey("DelCrd%s", shown))) return;
  session_.remembered_line = 0;
  const cards::Outcome outcome = cards::DeleteCard(session_.name, line.key);
  // A card that is gone already leaves the list as well.
  if (outcome != cards::Outcome::kDone && outcome != cards::Outcome::kNotFound) {
    ReportCardOutcome(outcome, session_.name);
    return;
  }
  model_->Remove(row);
  SelectRow(row - 1);
}

}  // namespace kv
