// The entry editor: two large time fields, the time base, the picture's path with its browse
// button and a preview, and OK. Shown modally over the main window.
#pragma once

#include <windows.h>

#include <string>

#include "ui/frmAdd.h"
#include "ui/win32/FormKit.h"

namespace dornava::win32 {

class AddWindow final : public frmAddView, public Form {
 public:
  enum Control : int {
    kOption1 = 201,
    kOption2,
    kCommand1,  // "…"
    kCommand2,  // "OK"
    kText1,
    kText2,
    kText3,
  };

  AddWindow(HINSTANCE instance, const Form& owner) : instance_(instance), owner_(owner) {}
  ~AddWindow() override { Destroy(); }

  void Attach(frmAdd& logic) { logic_ = &logic; }
  HWND Item(Control control) const;
  // The preview's container, which holds the picture.
  HWND Preview() const { return picture4_; }

  void Create() override;
  bool Exists() const override { return Window() != nullptr; }
  void ShowModal() override;
  void Hide() override;
  WindowHandle Handle() const override { return reinterpret_cast<WindowHandle>(Window()); }
  std::string Text(AddField field) const override;
  void SetText(AddField field, std::string_view text) override;
  bool Option1() const override;
  void SelectOption(bool option1) override;
  void SetNumOnly(AddField field, bool on) override;
  void SelectAll(AddField field) override;
  void ShowPreview(std::string_view path) override;
  void ShowMessage(std::string_view text, std::string_view caption) override;

 private:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void CreateControls();
  void Paint();
  void Command(int id, int code);
  HWND Field(AddField field) const;

  HINSTANCE instance_;
  const Form& owner_;
  frmAdd* logic_ = nullptr;
  Font font_{layout::frmAdd::kForm.font};
  Font timeFont_{layout::frmAdd::kTimeFont};
  HWND items_[kText3 - kOption1 + 1] = {};
  HWND frames_[3] = {};
  HWND picture4_ = nullptr;
  Label colon_{};
};

}  // namespace dornava::win32
