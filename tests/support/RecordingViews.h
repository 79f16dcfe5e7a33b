// Recording stand-ins for the three windows and the small modules, so the forms' logic runs and
// is checked without a toolkit. A modal show runs what the test scripted for the user to do.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "support/Fakes.h"
#include "ui/frmAbout.h"
#include "ui/frmAdd.h"
#include "ui/frmList.h"

namespace dornava::test {

class RecordingListView final : public frmListView {
 public:
  VectorList list;
  bool editButtonsEnabled = true;
  bool visible = false;
  bool ended = false;
  int check1 = 0;
  std::int64_t armedDelay = -1;

  ScheduleList& List1() override { return list; }
  void SetEditButtonsEnabled(bool enabled) override { editButtonsEnabled = enabled; }
  void SetVisible(bool value) override { visible = value; }
  int Check1() const override { return check1; }
  void ShowCheck1(int value) override { check1 = value; }
  void ArmTimer(std::int64_t delayMs) override { armedDelay = delayMs; }
  void EndProgram() override { ended = true; }
};

class RecordingAddView final : public frmAddView {
 public:
  bool exists = false;
  bool shown = false;
  std::string text[3];
  bool option1 = true;
  std::vector<std::string> previews;
  std::vector<std::string> messages;  // "caption: text"
  // What the user does while the window is shown modally.
  std::function<void()> whileShown;

  void Create() override {
    exists = true;
    text[0] = text[1] = "00";
    text[2].clear();
    option1 = true;
  }
  bool Exists() const override { return exists; }
  void ShowModal() override {
    shown = true;
    if (whileShown) whileShown();
    shown = false;
  }
  void Hide() override { shown = false; }
  WindowHandle Handle() const override { return 0x1234; }
  std::string Text(AddField field) const override { return text[static_cast<int>(field)]; }
  void SetText(AddField field, std::string_view value) override {
    text[static_cast<int>(field)] = std::string(value);
  }
  bool Option1() const override { return option1; }
  void SelectOption(bool value) override { option1 = value; }
  void SetNumOnly(AddField, bool) override {}
  void SelectAll(AddField) override {}
  void ShowPreview(std::string_view path) override { previews.emplace_back(path); }
  void ShowMessage(std::string_view message, std::string_view caption) override {
    messages.push_back(std::string(caption) + ": " + std::string(message));
  }
  // "hours|minutes|path|S" (R when "from Start" is chosen).
  std::string Fields() const {
    return text[0] + "|" + text[1] + "|" + text[2] + (option1 ? "|S" : "|R");
  }
  // The user's close box: the window goes unless the editor refuses.
  bool CloseBox(frmAdd& add) {
    if (add.QueryUnload()) return false;
    exists = shown = false;
    return true;
  }
};

class RecordingAboutView final : public frmAboutView {
 public:
  bool exists = false;
  int creations = 0;
  int banners = 0;
  std::vector<AboutMenu> popups;
  std::function<void()> whileShown;

  void Create() override {
    exists = true;
    ++creations;
  }
  bool Exists() const override { return exists; }
  void ShowModal() override {
    if (whileShown) whileShown();
    exists = false;  // the user closes it with the close box
  }
  void CopyBanner() override { ++banners; }
  void PopupMenu(AboutMenu menu) override { popups.push_back(menu); }
};

class FakeDialogs final : public CommonDialogy {
 public:
  std::string answer;  // empty: the user cancels
  std::vector<std::string> initialDirs;
  WindowHandle owner = 0;
  std::string ShowOpenDialog(WindowHandle ownerWindow, std::string_view, std::string_view,
                             std::string_view initialDir, std::uint32_t) override {
    owner = ownerWindow;
    initialDirs.emplace_back(initialDir);
    return answer;
  }
};

class FakeFiles final : public FileSystem {
 public:
  std::set<std::string> existing;
  char separator = '\\';
  bool FileExists(std::string_view path) override { return existing.count(std::string(path)) > 0; }
  char Separator() const override { return separator; }
};

class RecordingLinks final : public HyperLink {
 public:
  std::vector<std::string> opened;
  void OpenHyperLink(std::string_view link) override { opened.emplace_back(link); }
};

}  // namespace dornava::test
