// The rows of the town chooser and of the country chooser for list views. A town's
// line is read from its record when the view first shows it, so the towns database
// stays open while a TownListModel is shown.
#pragma once

#include <QAbstractListModel>
#include <vector>

#include "towns/town_search.h"

namespace kv::towns {

class TownListModel : public QAbstractListModel {
  Q_OBJECT
 public:
  explicit TownListModel(TownList list, QObject* parent = nullptr);

  const TownList& List() const { return list_; }
  // Another list (a country's towns): the views start over.
  void SetList(TownList list);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

 private:
  TownList list_;
};

class CountryListModel : public QAbstractListModel {
  Q_OBJECT
 public:
  explicit CountryListModel(std::vector<CountryRow> rows, QObject* parent = nullptr);

  const std::vector<CountryRow>& Rows() const { return rows_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

 private:
  std::vector<CountryRow> rows_;
};

}  // namespace kv::towns
