// A schedule list over a vector, standing in for the main window's list box.
#pragma once

#include <string>
#include <vector>

#include "store/ScheduleStore.h"

namespace dornava::test {

class VectorList final : public ScheduleList {
 public:
  VectorList() = default;
  VectorList(std::initializer_list<std::string> lines) : items(lines) {}
  explicit VectorList(std::vector<std::string> lines) : items(std::move(lines)) {}

  std::vector<std::string> items;
  int selected = -1;

  void Clear() override {
    items.clear();
    selected = -1;
  }
  void AddItem(std::string_view text) override { items.emplace_back(text); }
  void RemoveItem(int index) override {
    items.erase(items.begin() + index);
    // A list box loses its selection when the selected item goes.
    if (selected >= static_cast<int>(items.size()) || selected == index) selected = -1;
  }
  int ListCount() const override { return static_cast<int>(items.size()); }
  const std::string& List(int index) const override { return items.at(index); }
  int ListIndex() const override { return selected; }
  void SetListIndex(int index) override { selected = index; }
};

}  // namespace dornava::test
