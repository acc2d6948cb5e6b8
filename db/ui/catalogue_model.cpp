#include "db/ui/catalogue_model.h"

#include <QTimer>
#include <algorithm>

#include "common/ui/qt_text.h"
#include "db/ui/card_fields.h"

namespace kv {

CatalogueModel::CatalogueModel(std::vector<cards::CatalogueRow> rows, QObject* parent)
    : QAbstractListModel(parent), rows_(std::move(rows)) {}

int CatalogueModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : size();
}

QVariant CatalogueModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= size()) return {};
  if (role == Qt::DisplayRole) {
    const cards::CatalogueRow& row = Row(index.row());
    if (!row.complete && reader_ && !reading_stopped_) {
      // Read after the paint: the read may have to show a message.
      if (asked_.empty())
        QTimer::singleShot(0, const_cast<CatalogueModel*>(this), &CatalogueModel::ReadAsked);
      asked_.push_back(index.row());
    }
    return FromCp1251(row.line);
  }
  if (role == Qt::UserRole) return FromCp1251(Row(index.row()).key);
  return {};
}

void CatalogueModel::ReadRows(int first, int last) {
  first = std::max(first, 0);
  last = std::min(last, size() - 1);
  if (!reader_ || reading_stopped_ || first > last) return;
  std::vector<cards::CatalogueRow*> rows;
  for (int i = first; i <= last; ++i)
    if (!rows_[static_cast<size_t>(i)].complete) rows.push_back(&rows_[static_cast<size_t>(i)]);
  if (rows.empty()) return;
  const cards::Outcome outcome = reader_(rows);
  emit dataChanged(index(first), index(last));
  if (outcome != cards::Outcome::kDone) {
    reading_stopped_ = true;
    emit ReadingStopped(outcome);
  }
}

void CatalogueModel::ReadAsked() {
  std::vector<int> asked;
  asked.swap(asked_);
  std::sort(asked.begin(), asked.end());
  // The view asks for the rows it shows, which lie together: read them in one go,
  // a screenful around them at most.
  size_t i = 0;
  while (i < asked.size()) {
    size_t j = i;
    while (j + 1 < asked.size() && asked[j + 1] - asked[i] < 200) ++j;
    ReadRows(asked[i], asked[j]);
    i = j + 1;
  }
}

int CatalogueModel::RowOfKey(std::string_view key) const {
  for (int i = 0; i < size(); ++i)
    if (Row(i).key == key) return i;
  return -1;
}

void CatalogueModel::Replace(int i, cards::CatalogueRow row) {
  if (i < 0 || i >= size()) return;
  rows_[static_cast<size_t>(i)] = std::move(row);
  emit dataChanged(index(i), index(i));
}

int CatalogueModel::Append(cards::CatalogueRow row) {
  const int i = size();
  beginInsertRows(QModelIndex(), i, i);
  rows_.push_back(std::move(row));
  endInsertRows();
  return i;
}

void CatalogueModel::Remove(int i) {
  if (i < 0 || i >= size()) return;
  beginRemoveRows(QModelIndex(), i, i);
  rows_.erase(rows_.begin() + i);
  endRemoveRows();
}

int CatalogueModel::FindPrefix(std::string_view text) const {
  const std::string folded = cards::FoldForSearch(text);
  for (int i = 0; i < size(); ++i)
    if (cards::BeginsWithFolded(Row(i).folded, folded)) return i;
  return -1;
}

}  // namespace kv
