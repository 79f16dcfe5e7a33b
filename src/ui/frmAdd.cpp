#include "ui/frmAdd.h"

#include <cmath>
#include <cstdio>

#include "store/ScheduleEntry.h"
#include "ui/Texts.h"

namespace dornava {

std::string NormalTimeField(std::string_view text, int bound) {
  // A pasted fraction is cut to its whole part.
  double value = std::trunc(ReadNumber(text));
  if (value > bound) value = std::fmod(value, bound + 1);
  if (value < 0) value = 0;
  char digits[8];
  std::snprintf(digits, sizeof digits, "%02d", static_cast<int>(value));
  return digits;
}

void frmAdd::Ensure() {
  if (view_.Exists()) return;
  view_.Create();
  view_.SetNumOnly(AddField::kText1, true);
  view_.SetNumOnly(AddField::kText2, true);
}

void frmAdd::SetFields(std::string_view hours, std::string_view minutes, std::string_view path,
                       bool systemClock) {
  Ensure();
  view_.SelectOption(systemClock);
  view_.SetText(AddField::kText1, hours);
  view_.SetText(AddField::kText2, minutes);
  SetText3(path);
}

void frmAdd::SetText3(std::string_view path) {
  // Like a text box's Change event: only a different text refreshes the preview.
  if (view_.Text(AddField::kText3) == path) return;
  view_.SetText(AddField::kText3, path);
  view_.ShowPreview(path);
}

void frmAdd::ShowModal() {
  Ensure();
  view_.ShowModal();
}

void frmAdd::Text1LostFocus() {
  view_.SetText(AddField::kText1, NormalTimeField(view_.Text(AddField::kText1), 23));
}

void frmAdd::Text2LostFocus() {
  view_.SetText(AddField::kText2, NormalTimeField(view_.Text(AddField::kText2), 59));
}

void frmAdd::Command1Click() {
  const std::string path =
      dialogs_.ShowOpenDialog(view_.Handle(), texts::kOpenDialogTitle, texts::kOpenDialogFilter,
                              lastDir_, kOpenDialogFlags);
  if (path.empty()) return;
  const std::size_t slash = path.find_last_of(files_.Separator());
  lastDir_ = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  SetText3(path);
}

void frmAdd::Command2Click() {
  const std::string path = view_.Text(AddField::kText3);
  if (path.empty() || !files_.FileExists(path)) {
    view_.ShowMessage(texts::kNoWallpaperFile, texts::kAppTitle);
    return;
  }
  Text1LostFocus();
  Text2LostFocus();
  const std::string line = ScheduleEntry::Compose(view_.Option1(), view_.Text(AddField::kText1),
                                                  view_.Text(AddField::kText2), path);
  main_->List1().AddItem(line);
  main_->EnableEditButtons();
  kept_.clear();
  UpdReg();
  view_.Hide();
}

bool frmAdd::QueryUnload() {
  return edit_;
}

void frmAdd::SessionEnding() {
  if (!edit_ || kept_.empty() || !main_) return;
  main_->List1().AddItem(kept_);
  main_->EnableEditButtons();
  kept_.clear();
  UpdReg();
}

void frmAdd::SelText(AddField field) {
  view_.SelectAll(field);
}

void frmAdd::UpdReg() {
  // Called for the main window's delete too, perhaps before the editor was ever shown.
  Ensure();
  RewriteSchedule(registr_, main_->List1());
}

}  // namespace dornava
