#include "db/ui/database_commands.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "common/files.h"
#include "common/messages.h"
#include "common/tokens.h"
#include "common/ui/qt_text.h"
#include "db/ui/card_store.h"

namespace kv {
namespace {

// The catalogue read with a busy cursor: 100,000 cards take a moment.
cards::Catalogue Load(const std::string& database) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  cards::Catalogue c = cards::LoadCatalogue(database);
  QApplication::restoreOverrideCursor();
  return c;
}

}  // namespace

void ShowCatalogue(QWidget* parent, DatabaseSession& session) {
  cards::Catalogue catalogue = Load(session.name);
  if (!catalogue.opened) {
    WarningFormat("NoBM%s", session.name);
    return;
  }
  DBasa dialog(parent, session, std::move(catalogue), false);
  session.hooks.run_dialog(dialog);
}

PickResult PickCard(QWidget* parent, DatabaseSession& session, db::FieldArray& card) {
  cards::Catalogue catalogue = Load(session.name);
  if (!catalogue.opened) return PickResult::kCannotOpen;
  std::string key;
  {
    DBasa dialog(parent, session, std::move(catalogue), true);
    if (session.hooks.run_dialog(dialog) != kCmdOk) return PickResult::kNotChosen;
    key = dialog.PickedKey();
  }
  if (key.empty()) return PickResult::kNotChosen;
  const cards::Outcome read = cards::ReadCard(session.name, key, card);
  if (read == cards::Outcome::kCannotOpen) return PickResult::kCannotOpen;
  if (read != cards::Outcome::kDone) {
    ReportCardOutcome(read, session.name);
    return PickResult::kNotChosen;
  }
  return PickResult::kChosen;
}

std::string DatabaseNameOfPath(const QString& path, const char** why) {
  QString name = QFileInfo(path).absoluteFilePath();
  const int dot = name.lastIndexOf('.');
  if (dot > name.lastIndexOf('/')) name.truncate(dot);
  const QString relative = QDir::current().relativeFilePath(name);
  if (!relative.startsWith(QString::fromLatin1(".."))) name = relative;
  const std::string cp1251 = ToCp1251(name);
  const char* problem = nullptr;
  if (FromCp1251(cp1251) != name) problem = "BadBD%s";
  else if (cp1251.size() > cards::kMaxDatabaseName) problem = "LongBD%s";
  if (why) *why = problem;
  return problem ? std::string() : cp1251;
}

bool ChangeDatabase(QWidget* parent, DatabaseSession& session) {
  const QString path = session.hooks.choose_file(parent);
  if (path.isEmpty()) return false;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    WarnCannotOpen(ToCp1251(path));
    return false;
  }
  file.close();
  const char* why = nullptr;
  const std::string name = DatabaseNameOfPath(path, &why);
  if (name.empty()) {
    WarningFormat(why, ToCp1251(path));
    return false;
  }
  session.name = name;
  session.remembered_line = 0;
  ShowCatalogue(parent, session);
  return true;
}

DPrompt::DPrompt(QWidget* parent, const std::string& caption, const std::string& prompt,
                 std::function<bool(const std::string&)> accept)
    : Dial(parent, kPromptResource, kHelpCreateDatabase, kDialPrompt | kDialButtonsRow),
      accept_(std::move(accept)) {
  setWindowTitle(FromCp1251(caption));
  SetPrompt(FromCp1251(prompt));
  QLineEdit* edit = AddEdit(kIdPromptEdit, kPromptChars);
  edit->setMinimumWidth(fontMetrics().horizontalAdvance(QString(28, QChar('M'))));
  auto* top = new QVBoxLayout(this);
  top->setContentsMargins(14, 12, 14, 10);
  top->addWidget(Control(kIdPrompt));
  top->addWidget(edit);
  top->addWidget(ButtonBox());
  edit->setFocus();
}

bool DPrompt::CanClose() { return !accept_ || accept_(Typed()); }

bool CreateDatabaseCommand(QWidget* parent, DatabaseSession& session) {
  std::string made;
  DPrompt prompt(parent, Text("CrBD"), Text("NewBD"), [&](const std::string& typed) {
    session.remembered_line = 0;
    if (!cards::CreateDatabase(typed).ok()) return false;  // its message is shown
    made = typed;
    return true;
  });
  if (session.hooks.run_dialog(prompt) != kCmdOk || made.empty()) return false;
  session.name = made;
  return true;
}

cards::Outcome StoreChartCard(QWidget* parent, const DatabaseSession& session,
                              const cards::ChartCard& chart) {
  db::FieldArray card = cards::CardFromChart(chart);
  std::string key;
  const cards::Outcome outcome = cards::AddCard(session.name, card, &key);
  if (outcome == cards::Outcome::kDone) {
    const std::string& name = card[cards::kFieldName];
    session.hooks.inform(parent, FormatKey("CrdSv%s", name.empty() ? key : name, session.name));
  } else {
    ReportCardOutcome(outcome, session.name);
  }
  return outcome;
}

}  // namespace kv
