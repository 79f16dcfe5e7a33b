// The small modules of the Linux edition: the open-file dialog, the file-system test, the link
// opener, the digits-only field and the picture preview.
#pragma once

#include <QFileDialog>
#include <QLineEdit>
#include <QPixmap>
#include <QString>

#include "ui/Modules.h"

namespace dornava {

class QtCommonDialogy final : public CommonDialogy {
 public:
  // `options` are for tests, which need the dialog Qt draws itself; elsewhere the desktop's own
  // (or its portal's) is used where there is one.
  explicit QtCommonDialogy(QFileDialog::Options options = {}) : options_(options) {}
  std::string ShowOpenDialog(WindowHandle owner, std::string_view title, std::string_view filter,
                             std::string_view initialDir, std::uint32_t flags) override;

 private:
  QFileDialog::Options options_;
  int lastFilter_ = 0;
};

class QtFileSystem final : public FileSystem {
 public:
  bool FileExists(std::string_view path) override;
  char Separator() const override { return '/'; }
};

class QtHyperLink final : public HyperLink {
 public:
  void OpenHyperLink(std::string_view link) override;
};

// "Bitmapy (*.bmp)\0*.bmp\0..." as Qt's name filters. Each keeps the caller's description as
// what the user sees; "*.*" becomes "*", so names without a dot are listed too.
QStringList NameFilters(std::string_view filter);

// Refuses typed characters other than digits; programmatic and pasted text pass.
void SetNumOnly(QLineEdit& box, bool on);

// The picture at `path` stretched to `size` device pixels, or a null pixmap when it cannot be
// read. A picture that declares more than the pixel budget is refused before it is decoded.
QPixmap LoadPreview(std::string_view path, QSize size);

}  // namespace dornava
