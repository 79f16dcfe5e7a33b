// The entry editor on Qt: a modal dialog made anew after its close box, forwarding its events
// to frmAdd.
#pragma once

#include <QObject>
#include <QPointer>
#include <string>

#include "ui/frmAdd.h"

class QWidget;

namespace dornava {

class QtAddView final : public frmAddView {
 public:
  explicit QtAddView(QWidget* owner);
  ~QtAddView() override;
  void Attach(frmAdd& logic) { logic_ = &logic; }

  // The desktop session ends: an entry being changed goes back into the schedule and the editor
  // closes, so nothing holds the session up.
  void CommitData();

  void Create() override;
  bool Exists() const override { return !dialog_.isNull(); }
  void ShowModal() override;
  void Hide() override;
  WindowHandle Handle() const override;
  std::string Text(AddField field) const override;
  void SetText(AddField field, std::string_view text) override;
  bool Option1() const override;
  void SelectOption(bool option1) override;
  void SetNumOnly(AddField field, bool on) override;
  void SelectAll(AddField field) override;
  void ShowPreview(std::string_view path) override;
  void ShowMessage(std::string_view text, std::string_view caption) override;

 private:
  class Dialog;

  QWidget* owner_;
  frmAdd* logic_ = nullptr;
  QPointer<Dialog> dialog_;
  // Text3 as the program set it: the user cannot change it, and a path need not be UTF-8.
  std::string path_;
  QObject session_;
};

}  // namespace dornava
