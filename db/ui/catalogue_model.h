// The catalogue's rows as a list model: one line per card, in key order. A row's card
// is read (with its script) only when the view first shows it, outside the paint, and
// lines stay 1251 texts until the view asks for them: a database of 100,000 cards
// costs no widget, no read and no conversion per card that nobody looks at.
#pragma once

#include <QAbstractListModel>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "db/ui/card_store.h"

namespace kv {

class CatalogueModel : public QAbstractListModel {
  Q_OBJECT
 public:
  explicit CatalogueModel(std::vector<cards::CatalogueRow> rows, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  // Reads the cards of the given rows; kDone, or why reading stops for good.
  using RowReader = std::function<cards::Outcome(const std::vector<cards::CatalogueRow*>& rows)>;
  void SetRowReader(RowReader reader) { reader_ = std::move(reader); }
  // Reads the rows first..last that are not read yet, now.
  void ReadRows(int first, int last);

  int size() const { return static_cast<int>(rows_.size()); }
  const cards::CatalogueRow& Row(int i) const { return rows_[static_cast<size_t>(i)]; }
  // The row of a key, or -1.
  int RowOfKey(std::string_view key) const;

  void Replace(int i, cards::CatalogueRow row);
  // Appends a row; its index.
  int Append(cards::CatalogueRow row);
  void Remove(int i);

  // The first row whose name begins with the text (compared folded), or -1.
  int FindPrefix(std::string_view text_cp1251) const;

 signals:
  // The rows could not be read (the database does not open, or is damaged): the
  // rest of the lines show names only.
  void ReadingStopped(cards::Outcome why);

 private:
  // Reads the rows the view asked for since the last time.
  void ReadAsked();

  std::vector<cards::CatalogueRow> rows_;
  RowReader reader_;
  bool reading_stopped_ = false;
  mutable std::vector<int> asked_;
};

}  // namespace kv
