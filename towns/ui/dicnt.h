// DiCnt: a dialog over a list of many rows. The list is a view over a model, so a
// row is asked for only when it is shown; it is known as list box 7004, and a
// double-click on a row runs OK.
#pragma once

#include "common/ui/dial.h"

class QAbstractItemModel;
class QListView;

namespace kv::towns {

class DiCnt : public Dial {
  Q_OBJECT
 public:
  DiCnt(QWidget* parent, int resource_id, std::string help_key, int flags);

  QListView* ListView() const { return view_; }
  // The current row, or -1 when the list is empty or none is chosen.
  int CurrentRow() const;
  // Makes the row current and selected, scrolled into view; -1 clears the choice.
  void SelectRow(int row);

 protected:
  // The model of the list; set once, before the dialog is shown.
  void SetModel(QAbstractItemModel* model);
  // Called whenever the current row changes (-1 for none).
  virtual void CurrentRowChanged(int row) {}

 private:
  QListView* view_ = nullptr;
};

}  // namespace kv::towns
