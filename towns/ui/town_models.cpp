#include "towns/ui/town_models.h"

#include "common/ui/qt_text.h"

namespace kv::towns {

TownListModel::TownListModel(TownList list, QObject* parent)
    : QAbstractListModel(parent), list_(std::move(list)) {}

void TownListModel::SetList(TownList list) {
  beginResetModel();
  list_ = std::move(list);
  endResetModel();
}

int TownListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(list_.size());
}

QVariant TownListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
  return FromCp1251(list_.Line(static_cast<size_t>(index.row())));
}

CountryListModel::CountryListModel(std::vector<CountryRow> rows, QObject* parent)
    : QAbstractListModel(parent), rows_(std::move(rows)) {}

int CountryListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant CountryListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
  return FromCp1251(rows_[static_cast<size_t>(index.row())].line);
}

}  // namespace kv::towns
