// The main window on Qt: the schedule list, its buttons, the Autostart box, Start and the
// minute timer, forwarded to frmList.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "ui/Layout.h"
#include "ui/frmList.h"

namespace dornava {

// The schedule list over a QListWidget. The lines are kept as stored beside the widget, so text
// that is not valid UTF-8 is written back unchanged.
class WidgetList final : public ScheduleList {
 public:
  explicit WidgetList(QListWidget& widget) : widget_(widget) {}
  void Clear() override;
  void AddItem(std::string_view text) override;
  void RemoveItem(int index) override;
  int ListCount() const override { return static_cast<int>(lines_.size()); }
  const std::string& List(int index) const override {
    return lines_[static_cast<std::size_t>(index)];
  }
  int ListIndex() const override;
  void SetListIndex(int index) override { widget_.setCurrentRow(index); }

 private:
  QListWidget& widget_;
  std::vector<std::string> lines_;
};

class QtListView final : public QWidget, public frmListView {
 public:
  // `endProgram` ends the process at once; tests put a recorder in its place.
  explicit QtListView(std::function<void()> endProgram);
  void Attach(frmList& logic) { logic_ = &logic; }
  const QPixmap& Banner() const { return banner_; }
  // Once Start has hidden the window, the running state may carry on in a process without
  // windows; `handOver` returns only when it cannot, and this one lets the windows go instead.
  void SetHandOver(std::function<void(const ScheduleList&)> handOver) {
    handOver_ = std::move(handOver);
  }

  ScheduleList& List1() override { return list_; }
  void SetEditButtonsEnabled(bool enabled) override;
  // Only Start hides the window, and nothing shows it again: what the windows held goes then.
  void SetVisible(bool visible) override;
  int Check1() const override { return check1_->isChecked() ? 1 : 0; }
  void ShowCheck1(int value) override { check1_->setChecked(value == 1); }
  void ArmTimer(std::int64_t delayMs) override;
  void EndProgram() override { endProgram_(); }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QPushButton* AddButton(const char* name, std::string_view text, const layout::Rect& twips,
                         std::function<void()> onClick);
  // Leaves the running state what it uses: the schedule's lines and the timer.
  void LetWindowsGo();

  frmList* logic_ = nullptr;
  std::function<void()> endProgram_;
  std::function<void(const ScheduleList&)> handOver_;
  QPixmap banner_;
  QLabel* image1_ = nullptr;
  QListWidget* list1_ = nullptr;
  QPushButton* command2_ = nullptr;
  QPushButton* command3_ = nullptr;
  QPushButton* command4_ = nullptr;
  QCheckBox* check1_ = nullptr;
  WidgetList list_;
  QTimer timer1_;
};

}  // namespace dornava
