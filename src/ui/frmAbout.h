// The about window's logic: names that open popup menus, and links handed to the shell.
#pragma once

#include "ui/Modules.h"

namespace dornava {

enum class AboutMenu { kMoje, kNapad };
enum class AboutMenuItem { kMail, kHome, kMailN, kHomeN };

class frmAboutView {
 public:
  virtual ~frmAboutView() = default;
  virtual void Create() = 0;
  virtual bool Exists() const = 0;
  // Shows the window modally; returns when the user closed it.
  virtual void ShowModal() = 0;
  // Puts the main window's banner into the about window's, stretched to its frame.
  virtual void CopyBanner() = 0;
  // Shows the menu at the mouse position; a chosen item comes back through frmAbout::MenuClick.
  virtual void PopupMenu(AboutMenu menu) = 0;
};

class frmAbout {
 public:
  frmAbout(frmAboutView& view, HyperLink& links) : view_(view), links_(links) {}

  // Creates the window anew when the user closed it, runs the Load handler, shows it modally.
  void ShowModal();

  void FormLoad();
  void Label1Click();  // the idea author's name
  void Label2Click();  // the program author's name
  void Label7Click();  // the maker's address
  void MenuClick(AboutMenuItem item);

 private:
  frmAboutView& view_;
  HyperLink& links_;
};

}  // namespace dornava
