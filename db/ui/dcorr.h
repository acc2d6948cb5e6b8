// DCorr: the card dialog (resource 1061, " Карточка из базы данных"): name, local date
// and time, correction, place with "Города..." and sex of one card. "Записать" checks
// the edits as the birth-data dialog does and hands the card to the caller's save
// step; the dialog closes only when the card was written, so a refused card keeps
// what the user typed.
#pragma once

#include <functional>
#include <string>

#include "common/ui/dial.h"
#include "db/records/record_block.h"
#include "db/ui/card_fields.h"

class QButtonGroup;
class QLineEdit;

namespace kv {

inline constexpr int kCardDialogResource = 1061;
inline constexpr const char* kHelpCard = "DCorr";

// Control identifiers of resource 1061 (the place block's 5011..5013 come from Dial).
enum CardControl : int {
  kIdCardName = 5000,
  kIdCardDay = 5001,  // 5001..5006: day, month, year, hours, minutes, seconds
  kIdCardCorrection = 5010,
  kIdCardMale = 501,
  kIdCardFemale = 502,
};

class DCorr : public Dial {
  Q_OBJECT
 public:
  // Writes the card; true when it was written (the message of a failure is shown by
  // the step itself). The card may come back changed by the write script.
  using SaveStep = std::function<bool(db::FieldArray& card)>;

  DCorr(QWidget* parent, const db::FieldArray& card, SaveStep save);

  // The transfer buffer: what the edits hold now.
  cards::CardEdits Edits() const;
  void SetEdits(const cards::CardEdits& edits);
  // The card as last written ("Записать"), or as given.
  const db::FieldArray& Card() const { return card_; }

 protected:
  // "Записать": a field that is no moment or place is refused with its message and
  // the dialog stays open; so does a card the save step did not write.
  bool CanClose() override;

 private:
  void BuildLayout();
  QLineEdit* Edit(int id) const;

  db::FieldArray card_;
  SaveStep save_;
  QButtonGroup* sex_ = nullptr;
};

}  // namespace kv
