#include "towns/ui/dicnt.h"

#include <QAbstractItemModel>
#include <QItemSelectionModel>
#include <QListView>

namespace kv::towns {

DiCnt::DiCnt(QWidget* parent, int resource_id, std::string help_key, int flags)
    : Dial(parent, resource_id, std::move(help_key), flags) {
  view_ = new QListView(this);
  // Rows of one height: the view asks only the shown rows for their text.
  view_->setUniformItemSizes(true);
  view_->setSelectionMode(QAbstractItemView::SingleSelection);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  RegisterControl(kIdListBox, view_);
  connect(view_, &QListView::doubleClicked, this, [this](const QModelIndex& index) {
    if (!index.isValid()) return;
    SelectRow(index.row());
    Command(kCmdOk);
  });
}

void DiCnt::SetModel(QAbstractItemModel* model) {
  view_->setModel(model);
  connect(view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) { CurrentRowChanged(current.isValid() ? current.row() : -1); });
  // A new list (another filter) has no current row until one is chosen.
  connect(model, &QAbstractItemModel::modelReset, this, [this] { CurrentRowChanged(-1); });
}

int DiCnt::CurrentRow() const {
  const QModelIndex index = view_->currentIndex();
  return index.isValid() ? index.row() : -1;
}

void DiCnt::SelectRow(int row) {
  QAbstractItemModel* model = view_->model();
  if (!model) return;
  if (row < 0 || row >= model->rowCount()) {
    view_->selectionModel()->clear();
    return;
  }
  const QModelIndex index = model->index(row, 0);
  view_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
  view_->scrollTo(index, QAbstractItemView::PositionAtTop);
}

}  // namespace kv::towns
