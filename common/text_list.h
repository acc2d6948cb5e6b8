// An ordered list of owned texts with an iteration position, the unit in which most
// helpers hand texts around.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kv {

class TextList {
 public:
  explicit TextList(size_t growth_step = 20) : step_(growth_step ? growth_step : 20) {}
  explicit TextList(std::vector<std::string> items, size_t growth_step = 20)
      : items_(std::move(items)), step_(growth_step ? growth_step : 20) {}

  void Add(std::string_view text) {
    if (items_.size() == items_.capacity()) items_.reserve(items_.size() + step_);
    items_.emplace_back(text);
  }
  size_t Count() const { return items_.size(); }
  const std::string& operator[](size_t i) const { return items_[i]; }
  // The item at i, or an empty text when i is outside the list.
  const std::string& At(size_t i) const {
    static const std::string empty;
    return i < items_.size() ? items_[i] : empty;
  }

  void Rewind() { pos_ = 0; }
  // The next item of the iteration, or nullptr at the end.
  const std::string* Next() { return pos_ < items_.size() ? &items_[pos_++] : nullptr; }

  const std::vector<std::string>& Items() const { return items_; }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  std::vector<std::string> items_;
  size_t step_;
  size_t pos_ = 0;
};

}  // namespace kv
