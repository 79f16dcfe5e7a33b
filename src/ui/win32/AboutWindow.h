// The about window: the banner, the version and date, the two authors' names, which open small
// menus of their links, and the maker's address, which opens the maker's home page.
#pragma once

#include <windows.h>

#include <array>
#include <vector>

#include "ui/frmAbout.h"
#include "ui/win32/FormKit.h"
#include "ui/win32/ListWindow.h"

namespace dornava::win32 {

class AboutWindow final : public frmAboutView, public Form {
 public:
  // The labels the user can click, by where they sit in the window.
  enum class Link { kLabel1, kLabel2, kLabel7 };

  AboutWindow(HINSTANCE instance, const ListWindow& main) : instance_(instance), main_(main) {}
  ~AboutWindow() override;

  void Attach(frmAbout& logic) { logic_ = &logic; }
  // The label's rectangle in client pixels, where a click lands on it.
  RECT LinkRect(Link link) const;
  HWND Tooltips() const { return tooltips_; }
  HBITMAP Banner() const { return banner_; }

  void Create() override;
  bool Exists() const override { return Window() != nullptr; }
  void ShowModal() override;
  void CopyBanner() override;
  void PopupMenu(AboutMenu menu) override;

 private:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Paint();
  const Label* LinkAt(LPARAM point) const;
  void Click(const Label* label);

  HINSTANCE instance_;
  const ListWindow& main_;
  frmAbout* logic_ = nullptr;
  Font font_{layout::frmAbout::kForm.font};
  Font nameFont_{layout::frmAbout::kNameFont};
  Font hostFont_{layout::frmAbout::kHostFont};
  HBITMAP banner_ = nullptr;  // the main window's
  HWND tooltips_ = nullptr;
  HMENU moje_ = nullptr;
  HMENU napad_ = nullptr;
  std::vector<Label> labels_;
  std::array<const Label*, 3> links_{};
  const Label* pressed_ = nullptr;
};

}  // namespace dornava::win32
