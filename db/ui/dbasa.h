// DBasa: the catalogue of the current person database (resource 1012): one line per
// card, the remembered line selected, typing moves to the first card whose name
// begins with the typed text; "Корректировать", "Удалить" (after a question) and
// "Новая" change cards through the card dialog and the record store at once.
#pragma once

#include <QElapsedTimer>
#include <QListView>
#include <QString>
#include <functional>
#include <string>

#include "common/ui/dial.h"
#include "db/ui/card_store.h"

class QLabel;

namespace kv {

class CatalogueModel;

inline constexpr int kCatalogueResource = 1012;
inline constexpr const char* kHelpCatalogue = "DBasa";       // picking a card
inline constexpr const char* kHelpCatalogueMenu = "DBasaL";  // opened from the menu

// Control identifiers of resource 1012.
enum CatalogueControl : int {
  kIdCatalogueList = 1501,
  kCmdDeleteCard = 2000,
  kCmdCorrectCard = 2001,
  kCmdNewCard = 2004,
};

// What the dialogs ask of the program around them; tests put in their own.
struct DatabaseHooks {
  // Runs a dialog modally: the command that closed it (1 OK).
  std::function<int(Dial&)> run_dialog;
  // A yes/no question (1251 text); true for yes.
  std::function<bool(QWidget* parent, const std::string& question)> confirm;
  // A short note (1251 text), such as a card stored.
  std::function<void(QWidget* parent, const std::string& text)> inform;
  // The file-open dialog on "*.bod": the chosen path, empty when cancelled.
  std::function<QString(QWidget* parent)> choose_file;
};
// Boxes and dialogs of the window system.
DatabaseHooks DefaultDatabaseHooks();

// The current person database and the catalogue's remembered line, for the whole run.
struct DatabaseSession {
  std::string name = "a";  // 1251, a path without extension, as kept in "BASA"
  int remembered_line = 0;
  DatabaseHooks hooks = DefaultDatabaseHooks();
};

// The list of the catalogue: type-ahead search over the card names.
class CatalogueView : public QListView {
  Q_OBJECT
 public:
  explicit CatalogueView(QWidget* parent = nullptr);
  void keyboardSearch(const QString& text) override;
  // The text typed so far ("" when the last key was long ago) and whether it matched.
  const QString& Typed() const { return typed_; }

 signals:
  void SearchChanged(const QString& typed, bool found);

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void Search();
  QString typed_;
  QElapsedTimer since_last_;
};

class DBasa : public Dial {
  Q_OBJECT
 public:
  // `catalogue` is what LoadCatalogue read (opened). When picking, OK returns the
  // chosen line's key; otherwise OK and "Отмена" only close.
  DBasa(QWidget* parent, DatabaseSession& session, cards::Catalogue catalogue, bool picking);
  ~DBasa() override;

  CatalogueView* List() const { return list_; }
  CatalogueModel* Model() const { return model_; }
  // The current line, or -1.
  int CurrentRow() const;
  void SelectRow(int row);
  // The key chosen with OK when picking ("" otherwise).
  const std::string& PickedKey() const { return picked_; }
  bool Picking() const { return picking_; }
  // Damage met while listing: the catalogue only shows cards.
  bool ReadOnly() const { return read_only_; }

  void Command(int id) override;

 protected:
  bool CanClose() override;

 private:
  void BuildLayout();
  void EditCard(bool new_card);
  void DeleteCard();
  void ShowStatus(const QString& typed, bool found);
  void SetReadOnly();

  DatabaseSession& session_;
  bool picking_;
  bool read_only_;
  CatalogueModel* model_ = nullptr;
  CatalogueView* list_ = nullptr;
  QLabel* status_ = nullptr;
  std::string picked_;
};

// Shows the message of an action's outcome that nobody has shown yet: "NoB%s" for a
// database that does not open, the card too large, not found, not written.
void ReportCardOutcome(cards::Outcome outcome, const std::string& database);

}  // namespace kv
