// The main window: the schedule list and its buttons, the Autostart box, the Start button and the
// minute timer, on the banner and the dark blue of the program's look.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/frmList.h"
#include "ui/win32/FormKit.h"

namespace dornava::win32 {

// The list box as the schedule's master copy: the lines are kept as they are beside the control,
// which only shows them.
class ListBox final : public ScheduleList {
 public:
  void Attach(HWND list) { list_ = list; }

  void Clear() override;
  void AddItem(std::string_view text) override;
  void RemoveItem(int index) override;
  int ListCount() const override { return static_cast<int>(lines_.size()); }
  const std::string& List(int index) const override;
  int ListIndex() const override;
  void SetListIndex(int index) override;

 private:
  HWND list_ = nullptr;
  std::vector<std::string> lines_;
};

class ListWindow final : public frmListView, public Form {
 public:
  enum Control : int {
    kCommand1 = 101,  // "Přidat"
    kCommand2,        // "Vymazat"
    kCommand3,        // "Upravit"
    kCommand4,        // "Start"
    kCommand5,        // "O programu"
    kCheck1,
    kList1,
  };

  // The show command is the launcher's, used the first time the window is shown.
  ListWindow(HINSTANCE instance, int showCommand);
  ~ListWindow() override;

  void Attach(frmList& logic) { logic_ = &logic; }
  // Creates the window and its controls, hidden: the Load handler decides whether it is shown.
  bool Create();
  HWND Item(Control control) const;
  HBITMAP Banner() const { return banner_; }

  ScheduleList& List1() override { return list_; }
  void SetEditButtonsEnabled(bool enabled) override;
  void SetVisible(bool visible) override;
  int Check1() const override;
  void ShowCheck1(int value) override;
  void ArmTimer(std::int64_t delayMs) override;
  void EndProgram() override;

 private:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void CreateControls();
  void Paint();
  void Command(int id);

  HINSTANCE instance_;
  int showCommand_;
  frmList* logic_ = nullptr;
  Font font_{layout::frmList::kForm.font};
  Font smallFont_{layout::frmList::kSmallFont};
  HBITMAP banner_ = nullptr;
  HWND picture1_ = nullptr;
  HWND items_[kList1 - kCommand1 + 1] = {};
  ListBox list_;
  std::vector<Label> labels_;
};

}  // namespace dornava::win32
