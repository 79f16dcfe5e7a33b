// The about window on Qt: made anew each time it is opened, closed only by its close box.
#pragma once

#include <QPixmap>
#include <QPointer>
#include <functional>

#include "ui/frmAbout.h"

class QWidget;

namespace dornava {

class QtAboutView final : public frmAboutView {
 public:
  // `banner` gives the main window's banner.
  QtAboutView(QWidget* owner, std::function<QPixmap()> banner);
  ~QtAboutView() override;
  void Attach(frmAbout& logic) { logic_ = &logic; }

  void Create() override;
  bool Exists() const override { return !dialog_.isNull(); }
  void ShowModal() override;
  void CopyBanner() override;
  void PopupMenu(AboutMenu menu) override;

 private:
  class Dialog;

  QWidget* owner_;
  std::function<QPixmap()> banner_;
  frmAbout* logic_ = nullptr;
  QPointer<Dialog> dialog_;
};

}  // namespace dornava
