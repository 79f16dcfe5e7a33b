// The entry editor's logic: one schedule entry composed from two time fields, a time base and a
// picture, appended to the main window's list on OK. Its view is the platform's window.
#pragma once

#include <string>
#include <string_view>

#include "store/Registr.h"
#include "store/ScheduleStore.h"
#include "ui/Modules.h"

namespace dornava {

enum class AddField { kText1, kText2, kText3 };

class frmAddView {
 public:
  virtual ~frmAddView() = default;
  // Creates the window, hidden, with the design contents: "00", "00", no path, Option1.
  virtual void Create() = 0;
  virtual bool Exists() const = 0;
  // Shows the window modally; returns when it is hidden or destroyed.
  virtual void ShowModal() = 0;
  virtual void Hide() = 0;
  virtual WindowHandle Handle() const = 0;

  virtual std::string Text(AddField field) const = 0;
  virtual void SetText(AddField field, std::string_view text) = 0;
  virtual bool Option1() const = 0;
  // Selects Option1 when true, else Option2; selecting one clears the other.
  virtual void SelectOption(bool option1) = 0;
  // Digits only for typed characters; programmatic and pasted text pass.
  virtual void SetNumOnly(AddField field, bool on) = 0;
  virtual void SelectAll(AddField field) = 0;
  // Loads the picture stretched into the preview; clears the preview when that fails.
  virtual void ShowPreview(std::string_view path) = 0;
  // A message box with an OK button only and no icon.
  virtual void ShowMessage(std::string_view text, std::string_view caption) = 0;
};

// What the editor uses of the main window.
class MainWindowList {
 public:
  virtual ~MainWindowList() = default;
  virtual ScheduleList& List1() = 0;
  // Enables "Upravit" and "Vymazat".
  virtual void EnableEditButtons() = 0;
};

// "07" for 7, "03" for 75 with bound 23 (modulo 24), "00" for text that is no number.
std::string NormalTimeField(std::string_view text, int bound);

class frmAdd {
 public:
  frmAdd(frmAddView& view, Registr& registr, CommonDialogy& dialogs, FileSystem& files)
      : view_(view), registr_(registr), dialogs_(dialogs), files_(files) {}

  void AttachMain(MainWindowList& main) { main_ = &main; }

  // Creates the window when it does not exist, applying the digits-only style to the time
  // fields every time: a window made anew needs it as much as the first.
  void Ensure();

  // What the main window sets before showing the editor. Setting Text3 to a new path
  // refreshes the preview.
  void SetFields(std::string_view hours, std::string_view minutes, std::string_view path,
                 bool systemClock);
  bool edit() const { return edit_; }
  void set_edit(bool value) { edit_ = value; }
  // The entry taken out for editing, put back if the session ends before OK.
  void set_kept(std::string line) { kept_ = std::move(line); }
  const std::string& LastDir() const { return lastDir_; }
  void ShowModal();

  // Handlers.
  void Text1LostFocus();
  void Text2LostFocus();
  void Command1Click();  // browse
  void Command2Click();  // OK
  // The user asks to close the window: returns true when the close is refused.
  bool QueryUnload();
  // The desktop session is ending: an entry being changed goes back into the schedule first.
  void SessionEnding();

  void SelText(AddField field);
  void UpdReg();

 private:
  void SetText3(std::string_view path);

  frmAddView& view_;
  Registr& registr_;
  CommonDialogy& dialogs_;
  FileSystem& files_;
  MainWindowList* main_ = nullptr;
  bool edit_ = false;
  std::string lastDir_;
  std::string kept_;
};

}  // namespace dornava
