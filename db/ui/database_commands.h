// The commands of the menu "База данных" (the program connects them to its menu ids
// 401, 404, 405), the card picker of the birth-data dialog and the storing of a chart
// as a card. Each works on the session's current database and opens it only for the
// moment it reads or writes.
#pragma once

#include <QString>
#include <string>

#include "common/ui/dial.h"
#include "db/records/record_block.h"
#include "db/ui/card_fields.h"
#include "db/ui/dbasa.h"

namespace kv {

inline constexpr int kPromptResource = 1200;
inline constexpr int kIdPromptEdit = 4002;
inline constexpr int kPromptChars = 40;
inline constexpr const char* kHelpCreateDatabase = "CreatBD";

// Catalogue (401). A database that does not open is named in a message that says
// how to choose or create one.
void ShowCatalogue(QWidget* parent, DatabaseSession& session);

enum class PickResult { kChosen, kNotChosen, kCannotOpen };
// The catalogue for picking ("Из Базы..."): the chosen card read with its script.
// kCannotOpen shows nothing (the birth-data dialog says "NoB%s").
PickResult PickCard(QWidget* parent, DatabaseSession& session, db::FieldArray& card);

// The database name of a chosen ".bod" path: relative to the working directory when
// it lies inside it, without the extension, in 1251. Empty, with `why` set to a
// message key, when it cannot be a name ("LongBD%s": longer than 78 characters,
// "BadBD%s": characters code page 1251 lacks).
std::string DatabaseNameOfPath(const QString& path, const char** why);

// Change database (404): true when the session's database changed (the catalogue of
// the new one has been shown).
bool ChangeDatabase(QWidget* parent, DatabaseSession& session);

// The prompt dialog 1200 of "Создание базы"; OK runs `accept` on the typed name and
// closes only when it agrees.
class DPrompt : public Dial {
  Q_OBJECT
 public:
  DPrompt(QWidget* parent, const std::string& caption, const std::string& prompt,
          std::function<bool(const std::string& text)> accept);
  std::string Typed() const { return EditText(kIdPromptEdit); }

 protected:
  bool CanClose() override;

 private:
  std::function<bool(const std::string&)> accept_;
};

// Create database (405): true when a new database was made and became current.
bool CreateDatabaseCommand(QWidget* parent, DatabaseSession& session);

// Chart-window command 2013: the chart as a new card of the current database, then a
// short note naming the database, or why it was not stored.
cards::Outcome StoreChartCard(QWidget* parent, const DatabaseSession& session,
                              const cards::ChartCard& chart);

}  // namespace kv
